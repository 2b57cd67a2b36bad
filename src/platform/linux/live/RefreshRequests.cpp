#include "platform/linux/live/RefreshRequests.h"

#include "platform/linux/session/SessionFiles.h"

#include <iostream>
#include <string>

namespace tidemark::linux_platform::live {

RefreshRequests listenForRefreshRequests(MainQueue& queue, std::function<void()> refresh) {
    std::string error;
    const auto path = displaySessionFile(".sock", error);
    RefreshRequests requests;
    if (path)
        requests.server = ControlServer::listen(
            *path,
            [refresh = std::move(refresh)](ControlRequest request) {
                if (request == ControlRequest::Refresh)
                    refresh();
            },
            error);
    if (!requests.server) {
        std::cerr << "tidemark: " << error << "\n";
        return requests;
    }
    requests.watcher = std::make_unique<FdWatcher>(queue, *requests.server);
    return requests;
}

} // namespace tidemark::linux_platform::live
