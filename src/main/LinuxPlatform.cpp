#include "main/LinuxPlatform.h"

#include <iostream>

namespace tidemark::cli {

std::unique_ptr<LinuxPlatform> LinuxPlatform::open(std::string& error, MainQueue* queue) {
    auto connection = linux_platform::XConnection::open();
    auto events = connection ? linux_platform::XConnection::open() : nullptr;
    if (!connection || !events) {
        const char* display = std::getenv("DISPLAY");
        error = std::string("cannot connect to the X server") +
                (display && *display ? std::string(" on ") + display : " (DISPLAY is not set)");
        return nullptr;
    }
    return std::make_unique<LinuxPlatform>(std::move(connection), std::move(events), queue);
}

LinuxPlatform::LinuxPlatform(std::shared_ptr<linux_platform::XConnection> connection,
                             std::shared_ptr<linux_platform::XConnection> events, MainQueue* queue)
    : x(std::move(connection)), xEvents(std::move(events)), queue(queue ? *queue : mainQueue),
      settings(linux_platform::FileSettingsStore::defaultLocation(),
               [](const std::string& line) { std::cerr << "tidemark: " << line << "\n"; }),
      windowServer(x), workspace(x, xEvents, this->queue, defaultCenter,
                                 std::make_shared<linux_platform::DesktopEntries>()),
      poster(windowServer), logind(this->queue, workspace.notificationCenter()) {}

void LinuxPlatform::startObserving() {
    workspace.startObserving();
    logind.start();
}

} // namespace tidemark::cli
