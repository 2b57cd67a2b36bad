#pragma once

#include "foundation/MainQueue.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace tidemark::linux_platform {

// Something that delivers events when one of its descriptors is readable. The set of
// descriptors may change between calls (a reconnected socket).
class EventSource {
public:
    virtual ~EventSource() = default;
    virtual std::vector<int> eventFds() = 0;
    // Handles what has arrived without blocking. Also called when no descriptor is
    // readable, since a library may already have read events into its own buffer.
    virtual void dispatchEvents() = 0;
};

// A main queue for the command line: a steady clock, timers and readable descriptors
// served by poll(2) on the calling thread. Background work runs on its own detached
// threads and hands results back with `async`.
class PollMainQueue final : public MainQueue {
public:
    PollMainQueue();
    ~PollMainQueue() override;
    PollMainQueue(const PollMainQueue&) = delete;
    PollMainQueue& operator=(const PollMainQueue&) = delete;

    TimeSeconds now() const override;
    void async(std::function<void()> block) override;
    std::shared_ptr<WorkItem> asyncAfter(TimeSeconds delay, std::function<void()> block) override;
    std::shared_ptr<RepeatingTimer> scheduleRepeatingTimer(TimeSeconds interval,
                                                           TimeSeconds tolerance,
                                                           std::function<void()> action) override;
    void runInBackground(QualityOfService qos, std::function<void()> block) override;

    // The source must outlive the queue's use of it.
    void addEventSource(EventSource& source) { sources_.push_back(&source); }

    // Serves work and events until `done` answers true or `timeout` passed; true when done.
    bool runUntil(const std::function<bool()>& done, TimeSeconds timeout);
    // Serves until no work item or timer is pending (events keep being served meanwhile), at
    // most `timeout`; true when the queue drained.
    bool runUntilIdle(TimeSeconds timeout);
    bool hasPendingWork();

private:
    using Key = std::pair<TimeSeconds, std::uint64_t>;
    void enqueue(TimeSeconds at, std::function<void()> task);
    void runDue();
    void waitForEvents(TimeSeconds until);

    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::uint64_t sequence_ = 0;
    std::map<Key, std::function<void()>> pending_;
    std::vector<EventSource*> sources_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
};

} // namespace tidemark::linux_platform
