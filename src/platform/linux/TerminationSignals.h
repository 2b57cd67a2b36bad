#pragma once

#include "platform/linux/FdWatcher.h"

#include <functional>
#include <memory>

namespace tidemark::linux_platform {

// SIGINT and SIGTERM as events on the main queue, so a long-running command can end its
// loop and unwind normally instead of dying mid-write. Build it before any thread starts:
// the signals are blocked in this thread and every thread it starts later.
class TerminationSignals final : public EventSource {
public:
    TerminationSignals(MainQueue& mainQueue, std::function<void(int signal)> onSignal);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    std::vector<int> eventFds() override { return {fd_}; }
    void dispatchEvents() override;

private:
    int fd_ = -1;
    std::function<void(int)> onSignal_;
    std::unique_ptr<FdWatcher> watcher_;
};

} // namespace tidemark::linux_platform
