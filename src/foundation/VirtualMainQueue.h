#pragma once

#include "foundation/MainQueue.h"

#include <cstdint>
#include <map>
#include <optional>
#include <utility>

namespace tidemark {

// A deterministic main queue whose clock only moves when the owner advances it.
// Work due at the same time runs in the order it was scheduled. Background work runs on
// the same thread, queued like `async`, so tests see one well-defined order.
class VirtualMainQueue final : public MainQueue {
public:
    explicit VirtualMainQueue(TimeSeconds start = 0) : now_(start) {}

    TimeSeconds now() const override { return now_; }
    void async(std::function<void()> block) override;
    std::shared_ptr<WorkItem> asyncAfter(TimeSeconds delay, std::function<void()> block) override;
    std::shared_ptr<RepeatingTimer> scheduleRepeatingTimer(TimeSeconds interval,
                                                           TimeSeconds tolerance,
                                                           std::function<void()> action) override;
    void runInBackground(QualityOfService qos, std::function<void()> block) override;

    // Runs everything due up to and including `time`, moving the clock to each item's time,
    // and leaves the clock at `time`.
    void runUntil(TimeSeconds time);
    void advance(TimeSeconds seconds) { runUntil(now_ + seconds); }
    // Runs what is due now (including work that it schedules for now).
    void runPending() { runUntil(now_); }
    // Time of the next live item, if any.
    std::optional<TimeSeconds> nextDueTime() const;

private:
    using Key = std::pair<TimeSeconds, std::uint64_t>;
    void enqueue(TimeSeconds at, std::function<void()> task);

    TimeSeconds now_;
    std::uint64_t sequence_ = 0;
    std::map<Key, std::function<void()>> pending_;
};

} // namespace tidemark
