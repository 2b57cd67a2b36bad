#pragma once

#include "foundation/MainQueue.h"
#include "foundation/NotificationCenter.h"
#include "foundation/SettingsStore.h"
#include "platform/linux/keys/ShortcutWords.h"
#include "platform/linux/keys/X11HotKeyService.h"
#include "platform/linux/keys/XkbKeyboardLayout.h"
#include "platform/linux/x11/XConnection.h"
#include "shortcuts/RecorderRules.h"
#include "shortcuts/ShortcutCenter.h"

#include <memory>

namespace tidemark::linux_platform {

// The global shortcuts of a live session: key grabs on an X connection of their own, the
// keyboard layout of that server, and the component over them. Hand `center` to the app
// delegate before launch (AppDelegate::setShortcuts).
struct LinuxShortcuts {
    // Nothing when no X server answers. Outlives whatever holds `center`. A refused grab is
    // reported to `printLine`, by default on standard error.
    static std::unique_ptr<LinuxShortcuts>
    open(MainQueue& mainQueue, SettingsStore& settings, NotificationCenter& defaultCenter,
         KeyBindings::ShortcutCenter::PrintLine printLine = {});

    LinuxShortcuts(std::shared_ptr<XConnection> connection, MainQueue& mainQueue)
        : x(std::move(connection)), hotKeys(x, mainQueue), layout(x) {}

    // What a recorder checks a combination against: the window manager's own shortcuts
    // (i3's bindings; none elsewhere). The app has no main menu with key equivalents.
    KeyBindings::RecorderContext recorderContext();
    // A key event's X key code as a virtual key code.
    static std::optional<std::int64_t> virtualKeyCode(std::uint32_t xKeyCode);

    std::shared_ptr<XConnection> x;
    X11HotKeyService hotKeys;
    XkbKeyboardLayout layout;
    std::shared_ptr<KeyBindings::ShortcutCenter> center;
};

} // namespace tidemark::linux_platform
