#pragma once

#include "foundation/Value.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// i3's own key bindings, read from its configuration text, as the system's shortcut list.
namespace tidemark::linux_platform::i3 {

struct KeyBinding {
    std::vector<std::string> modifiers; // as written, variables expanded: "Mod4", "Shift"
    std::string key;                    // a keysym name, or an X key code for bindcode
    bool byCode = false;
};

// The bindsym and bindcode lines of the default mode, with `set $name value` variables
// expanded. Bindings inside blocks (modes, bars) are not active globally and are skipped.
std::vector<KeyBinding> parseKeyBindings(std::string_view config);

// The bindings as the system's symbolic hot-key list: enabled entries with the virtual key
// code and the stored modifier bits. Bindings whose key has no virtual code or that use a
// modifier other than Shift, Control, Mod1 and Mod4 are left out; Lock and Mod2 (Num Lock)
// are ignored, as i3 ignores them.
Value symbolicHotKeys(
    const std::vector<KeyBinding>& bindings,
    const std::function<std::optional<std::uint8_t>(const std::string&)>& xKeyCodeForKeysym);

} // namespace tidemark::linux_platform::i3
