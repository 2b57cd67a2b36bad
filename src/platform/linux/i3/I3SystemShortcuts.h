#pragma once

#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/keys/XkbKeyboardLayout.h"
#include "shortcuts/RecorderRules.h"

namespace tidemark::linux_platform {

// The window manager's own shortcuts, where they can be read: i3's bindings from its
// configuration (IPC get_config). Other window managers offer no list, so there is none.
class I3SystemShortcuts final : public KeyBindings::SystemShortcutSource {
public:
    I3SystemShortcuts(i3::Client& client, XkbKeyboardLayout& layout)
        : client_(client), layout_(layout) {}

    std::optional<Value> copySymbolicHotKeys() override;

private:
    i3::Client& client_;
    XkbKeyboardLayout& layout_;
};

} // namespace tidemark::linux_platform
