#pragma once

#include <atomic>
#include <functional>
#include <limits>
#include <memory>

namespace tidemark {

// Seconds on the queue's own clock.
using TimeSeconds = double;
inline constexpr TimeSeconds kDistantPast = -std::numeric_limits<double>::infinity();

// A block of work that can be cancelled until it runs; a cancelled item never runs.
class WorkItem {
public:
    explicit WorkItem(std::function<void()> block) : block_(std::move(block)) {}
    virtual ~WorkItem() = default;
    WorkItem(const WorkItem&) = delete;
    WorkItem& operator=(const WorkItem&) = delete;

    // A queue may also take the item off its timers, so that it wakes nobody.
    virtual void cancel() { cancelled_.store(true); }
    bool isCancelled() const { return cancelled_.load(); }
    // Runs the block unless cancelled.
    void perform() {
        if (!isCancelled() && block_)
            block_();
    }

private:
    std::function<void()> block_;
    std::atomic<bool> cancelled_{false};
};

// A repeating timer; it stops for good once invalidated.
class RepeatingTimer {
public:
    RepeatingTimer(TimeSeconds interval, TimeSeconds tolerance)
        : interval_(interval), tolerance_(tolerance) {}
    virtual ~RepeatingTimer() = default;

    TimeSeconds interval() const { return interval_; }
    TimeSeconds tolerance() const { return tolerance_; }
    bool isValid() const { return valid_; }
    virtual void invalidate() { valid_ = false; }

private:
    TimeSeconds interval_;
    TimeSeconds tolerance_;
    bool valid_ = true;
};

enum class QualityOfService { UserInitiated, Utility, Background };

// What a descriptor watch waits for: input (or its end), or priority data (a pressure
// stall trigger's).
enum class DescriptorCondition { Readable, Priority };

// Watching stops when this goes, even from within the watch's own handler.
class DescriptorWatch {
public:
    virtual ~DescriptorWatch() = default;
};

// The main thread's queue and clock. All program state belongs to it; background work
// hands its result back through `async`.
class MainQueue {
public:
    virtual ~MainQueue() = default;

    virtual TimeSeconds now() const = 0;
    virtual void async(std::function<void()> block) = 0;
    virtual std::shared_ptr<WorkItem> asyncAfter(TimeSeconds delay,
                                                 std::function<void()> block) = 0;
    virtual std::shared_ptr<RepeatingTimer>
    scheduleRepeatingTimer(TimeSeconds interval, TimeSeconds tolerance,
                           std::function<void()> action) = 0;
    // Runs `block` on a global background queue of the given quality of service.
    virtual void runInBackground(QualityOfService qos, std::function<void()> block) = 0;
    // A one-shot timer: `block` runs once, `delay` from now, or up to `tolerance` later
    // where the platform may gather wake-ups. Cancelling the item stops it.
    virtual std::shared_ptr<WorkItem> scheduleTimer(TimeSeconds delay, TimeSeconds tolerance,
                                                    std::function<void()> block) {
        (void)tolerance;
        return asyncAfter(delay, std::move(block));
    }
    // Runs `ready` on this queue each time `descriptor` (a socket, pipe or event file the
    // platform opened) meets `condition`, as a dispatch source on a file descriptor does. Null
    // where the queue waits on nothing but its clock (a virtual one).
    virtual std::unique_ptr<DescriptorWatch>
    watchDescriptor(int descriptor, DescriptorCondition condition, std::function<void()> ready) {
        (void)descriptor;
        (void)condition;
        (void)ready;
        return nullptr;
    }
};

} // namespace tidemark
