#pragma once

#include "platform/linux/x11/XConnection.h"
#include "shortcuts/HotKeyService.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace tidemark::linux_platform {

// The keyboard layout through xkbcommon: the X server's core keyboard, read again at each
// question so that a layout switch shows at once; without an X server, the system's default
// layout (the XKB_DEFAULT_* variables, else xkeyboard-config's defaults).
class XkbKeyboardLayout final : public KeyBindings::KeyboardLayout {
public:
    explicit XkbKeyboardLayout(std::shared_ptr<XConnection> connection = nullptr);
    ~XkbKeyboardLayout() override;
    XkbKeyboardLayout(const XkbKeyboardLayout&) = delete;
    XkbKeyboardLayout& operator=(const XkbKeyboardLayout&) = delete;

    // The character the key types at the base level, when exactly one printable character:
    // in the current group when its letters are ASCII, else in the first group whose letters
    // are, else in the US layout.
    std::optional<std::string> character(std::int64_t keyCode) override;
    // The X key code that types the keysym called `name` (i3's names: "Return", "q", "F1"),
    // at the lowest level where some key types it.
    std::optional<std::uint8_t> xKeyCodeForKeysym(std::string_view name);

private:
    bool load();

    std::shared_ptr<XConnection> x_;
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    xkb_keymap* usKeymap_ = nullptr; // made when first needed
};

} // namespace tidemark::linux_platform
