#pragma once

#include "foundation/MainQueue.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tidemark::linux_platform {

// Something that delivers events when one of its descriptors is readable. Both calls are
// made on the main queue; the set of descriptors may change between calls (a reconnected
// socket).
class EventSource {
public:
    virtual ~EventSource() = default;
    virtual std::vector<int> eventFds() = 0;
    // The poll(2) events that mean "something arrived" (POLLIN unless overridden).
    virtual short pollEvents() const;
    // Handles what has arrived, without blocking.
    virtual void dispatchEvents() = 0;
};

// Waits on a thread of its own until a source's descriptor is readable, then runs the
// source's dispatch on the main queue and waits for it to finish before looking again. So
// the events reach the program on the main queue, whichever main queue that is, and nothing
// polls on a timer.
class FdWatcher {
public:
    // Starts watching at once; call on the main queue. `source` must outlive the watcher.
    FdWatcher(MainQueue& mainQueue, EventSource& source);
    ~FdWatcher();
    FdWatcher(const FdWatcher&) = delete;
    FdWatcher& operator=(const FdWatcher&) = delete;

    // Re-reads the source's descriptors (after it opened or closed one); main queue only.
    void descriptorsChanged();

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable idle;
        std::vector<int> fds;
        bool dispatching = false;
        bool stopping = false;
        int wakeRead = -1;
        int wakeWrite = -1;
    };
    void run();
    void wake();

    MainQueue& mainQueue_;
    EventSource& source_;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

} // namespace tidemark::linux_platform
