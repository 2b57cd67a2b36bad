#pragma once

#include "foundation/MainQueue.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tidemark::linux_platform {

// A main queue for the command line: a steady clock, timers and watched descriptors served on
// the calling thread, which sleeps in poll(2) until work is due, a descriptor is ready or
// another thread hands work over with `async` (background work does). Background work runs on
// threads of its own, which the destructor joins: that work ends by handing its result to this
// queue.
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
    std::unique_ptr<DescriptorWatch> watchDescriptor(int descriptor, DescriptorCondition condition,
                                                     std::function<void()> ready) override;

    // Serves work until `done` answers true, asked before each task, or `timeout` passed; true
    // when done.
    bool runUntil(const std::function<bool()>& done, TimeSeconds timeout);
    // Serves until no work item or timer is pending, at most `timeout`; true when the queue
    // drained.
    bool runUntilIdle(TimeSeconds timeout);
    bool hasPendingWork();

private:
    using Key = std::pair<TimeSeconds, std::uint64_t>;
    // The calling thread's alone, as the watches are made and ended on it.
    struct Watched {
        int descriptor = -1;
        short events = 0;
        std::function<void()> ready;
        // A closed descriptor is left out of the wait until its watch goes.
        bool invalid = false;
    };
    using WatchTable = std::map<std::uint64_t, Watched>;
    class Watch;
    struct TimerTicks {
        std::weak_ptr<RepeatingTimer> timer;
        std::function<void()> action;
        TimeSeconds interval = 0;
    };
    void queueTick(std::shared_ptr<TimerTicks> ticks);
    void enqueue(TimeSeconds at, std::function<void()> task);
    // Runs the tasks that are due until `done`; whether it is.
    bool runDue(const std::function<bool()>& done);
    void waitForWork(TimeSeconds until);

    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::uint64_t sequence_ = 0;
    std::map<Key, std::function<void()>> pending_;
    struct BackgroundThread {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    std::mutex backgroundMutex_;
    std::vector<BackgroundThread> background_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::shared_ptr<WatchTable> watched_ = std::make_shared<WatchTable>();
    std::uint64_t nextWatch_ = 0;
    // Watches found ready by the last wait, in the order they are served.
    std::vector<std::uint64_t> readyWatches_;
};

} // namespace tidemark::linux_platform
