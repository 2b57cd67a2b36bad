#include "main/LinuxPlatform.h"

#include <iostream>

namespace tidemark::cli {

std::unique_ptr<LinuxPlatform> LinuxPlatform::open(std::string& error) {
    auto connection = linux_platform::XConnection::open();
    if (!connection) {
        const char* display = std::getenv("DISPLAY");
        error = std::string("cannot connect to the X server") +
                (display && *display ? std::string(" on ") + display : " (DISPLAY is not set)");
        return nullptr;
    }
    return std::make_unique<LinuxPlatform>(std::move(connection));
}

LinuxPlatform::LinuxPlatform(std::shared_ptr<linux_platform::XConnection> connection)
    : x(std::move(connection)),
      settings(linux_platform::FileSettingsStore::defaultLocation(),
               [](const std::string& line) { std::cerr << "tidemark: " << line << "\n"; }),
      windowServer(x),
      workspace(x, mainQueue, defaultCenter, std::make_shared<linux_platform::DesktopEntries>()),
      poster(windowServer), logind(mainQueue, workspace.notificationCenter()) {
    mainQueue.addEventSource(workspace);
    mainQueue.addEventSource(logind);
}

void LinuxPlatform::startObserving() {
    workspace.startObserving();
    logind.start();
}

} // namespace tidemark::cli
