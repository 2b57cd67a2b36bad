#include "platform/linux/wayland/WaylandWindowServer.h"

namespace tidemark::linux_platform::wayland {

DisplayList WaylandWindowServer::displays() {
    auto outputs = session_.outputs();
    // Without the windows the displays still show, only none of them full screen.
    auto windows = session_.windows();
    std::lock_guard lock(mutex_);
    if (!outputs)
        return nullptr;
    if (!displays_.answer || displays_.outputs != outputs || displays_.windows != windows)
        displays_ = {std::make_shared<const std::vector<Display>>(
                         displaysOf(*outputs, windows ? *windows : Windows{})),
                     std::move(outputs), std::move(windows)};
    return displays_.answer;
}

SharedWindowList WaylandWindowServer::windows() {
    auto outputs = session_.outputs();
    auto windows = session_.windows();
    std::lock_guard lock(mutex_);
    if (!outputs || !windows)
        return nullptr;
    if (!windowList_.answer || windowList_.outputs != outputs || windowList_.windows != windows)
        windowList_ = {std::make_shared<const WindowList>(windowListOf(*outputs, *windows)),
                       std::move(outputs), std::move(windows)};
    return windowList_.answer;
}

} // namespace tidemark::linux_platform::wayland
