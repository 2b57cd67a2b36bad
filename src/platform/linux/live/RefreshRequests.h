#pragma once

#include "foundation/MainQueue.h"
#include "platform/linux/FdWatcher.h"
#include "platform/linux/session/ControlServer.h"

#include <functional>
#include <memory>

namespace tidemark::linux_platform::live {

// The running app's end of `tidemark refresh`: the control socket of this display's session,
// watched on the main queue. The watcher goes first, before the server it watches.
struct RefreshRequests {
    std::unique_ptr<ControlServer> server;
    std::unique_ptr<FdWatcher> watcher;
};

// Answers each refresh request with `refresh`. Without the socket the app runs on, only
// `tidemark refresh` cannot reach it: one line on standard error says why.
RefreshRequests listenForRefreshRequests(MainQueue& queue, std::function<void()> refresh);

} // namespace tidemark::linux_platform::live
