#pragma once

#include "foundation/MainQueue.h"

#include <memory>
#include <utility>
#include <vector>

namespace tidemark::linux_platform {

// Something that delivers events when one of its descriptors is readable. Both calls are
// made on the main queue; the set of descriptors may change between calls (a reconnected
// socket).
class EventSource {
public:
    virtual ~EventSource() = default;
    virtual std::vector<int> eventFds() = 0;
    // What "something arrived" means (input unless overridden).
    virtual DescriptorCondition condition() const;
    // Handles what has arrived, without blocking.
    virtual void dispatchEvents() = 0;
};

// Has the main queue wait on a source's descriptors beside its timers and run the source's
// dispatch when one is readable: the events reach the program on the main queue, without a
// thread in between, and nothing polls on a timer. A dispatch must not run a nested event
// loop (a modal dialog): the source would be dispatched again inside it.
class FdWatcher {
public:
    // Starts watching at once; call on the main queue. `source` must outlive the watcher,
    // which may go from within the source's dispatch.
    FdWatcher(MainQueue& mainQueue, EventSource& source);
    ~FdWatcher();
    FdWatcher(const FdWatcher&) = delete;
    FdWatcher& operator=(const FdWatcher&) = delete;

    // Re-reads the source's descriptors (after it opened or closed one); main queue only.
    void descriptorsChanged();

private:
    void dispatch();

    MainQueue& mainQueue_;
    EventSource& source_;
    std::vector<std::pair<int, std::unique_ptr<DescriptorWatch>>> watches_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace tidemark::linux_platform
