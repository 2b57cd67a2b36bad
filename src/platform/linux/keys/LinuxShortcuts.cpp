#include "platform/linux/keys/LinuxShortcuts.h"

#include "platform/linux/i3/I3SystemShortcuts.h"
#include "platform/linux/keys/XKeyTable.h"

#include <iostream>

namespace tidemark::linux_platform {

std::unique_ptr<LinuxShortcuts>
LinuxShortcuts::open(MainQueue& mainQueue, SettingsStore& settings,
                     NotificationCenter& defaultCenter,
                     KeyBindings::ShortcutCenter::PrintLine printLine) {
    auto connection = XConnection::open();
    if (!connection)
        return nullptr;
    if (!printLine)
        printLine = [](const std::string& line) { std::cerr << "tidemark: " << line << std::endl; };
    auto shortcuts = std::make_unique<LinuxShortcuts>(std::move(connection), mainQueue);
    shortcuts->center = KeyBindings::ShortcutCenter::create(
        {settings, defaultCenter, shortcuts->hotKeys, shortcuts->layout, kShortcutDescriptionStyle,
         std::move(printLine)});
    return shortcuts;
}

KeyBindings::RecorderContext LinuxShortcuts::recorderContext() {
    i3::Client client([connection = x] { return connection->i3SocketPath(); });
    I3SystemShortcuts source(client, layout);
    const auto list = source.copySymbolicHotKeys();
    return {{},
            list ? KeyBindings::enabledSystemShortcuts(*list)
                 : std::vector<KeyBindings::Shortcut>{},
            false};
}

std::optional<std::int64_t> LinuxShortcuts::virtualKeyCode(std::uint32_t xKeyCode) {
    if (xKeyCode > 0xff)
        return std::nullopt;
    return xkeys::virtualKeyCode(std::uint8_t(xKeyCode));
}

} // namespace tidemark::linux_platform
