#include "platform/linux/LinuxShortcuts.h"

namespace tidemark::linux_platform {

std::unique_ptr<LinuxShortcuts>
LinuxShortcuts::open(MainQueue& mainQueue, SettingsStore& settings,
                     NotificationCenter& defaultCenter,
                     KeyBindings::ShortcutCenter::PrintLine printLine) {
    auto connection = XConnection::open();
    if (!connection)
        return nullptr;
    auto shortcuts = std::make_unique<LinuxShortcuts>(std::move(connection), mainQueue);
    shortcuts->center = KeyBindings::ShortcutCenter::create(
        {settings, defaultCenter, shortcuts->hotKeys, shortcuts->layout, std::move(printLine)});
    return shortcuts;
}

} // namespace tidemark::linux_platform
