#include "foundation/VirtualMainQueue.h"

#include <algorithm>

namespace tidemark {
namespace {

class VirtualTimer final : public RepeatingTimer {
public:
    using RepeatingTimer::RepeatingTimer;
};

} // namespace

void VirtualMainQueue::enqueue(TimeSeconds at, std::function<void()> task) {
    pending_.emplace(Key{at, sequence_++}, std::move(task));
}

void VirtualMainQueue::async(std::function<void()> block) {
    enqueue(now_, std::move(block));
}

std::shared_ptr<WorkItem> VirtualMainQueue::asyncAfter(TimeSeconds delay,
                                                       std::function<void()> block) {
    auto item = std::make_shared<WorkItem>(std::move(block));
    enqueue(now_ + std::max(0.0, delay), [item] { item->perform(); });
    return item;
}

std::shared_ptr<RepeatingTimer>
VirtualMainQueue::scheduleRepeatingTimer(TimeSeconds interval, TimeSeconds tolerance,
                                         std::function<void()> action) {
    auto timer = std::make_shared<VirtualTimer>(interval, tolerance);
    // The queue keeps the timer only weakly: dropping the last handle ends it, as does
    // invalidation.
    auto tick = std::make_shared<std::function<void(TimeSeconds)>>();
    std::weak_ptr<RepeatingTimer> weakTimer = timer;
    std::weak_ptr<std::function<void(TimeSeconds)>> weakTick = tick;
    *tick = [this, weakTimer, weakTick, action = std::move(action), interval](TimeSeconds due) {
        auto timer = weakTimer.lock();
        if (!timer || !timer->isValid())
            return;
        action();
        if (auto next = weakTick.lock(); next && timer->isValid())
            enqueue(due + interval, [next, due, interval] { (*next)(due + interval); });
    };
    const TimeSeconds first = now_ + interval;
    enqueue(first, [tick, first] { (*tick)(first); });
    return timer;
}

void VirtualMainQueue::runInBackground(QualityOfService, std::function<void()> block) {
    enqueue(now_, std::move(block));
}

void VirtualMainQueue::runUntil(TimeSeconds time) {
    while (!pending_.empty() && pending_.begin()->first.first <= time) {
        auto node = pending_.extract(pending_.begin());
        now_ = std::max(now_, node.key().first);
        node.mapped()();
    }
    now_ = std::max(now_, time);
}

std::optional<TimeSeconds> VirtualMainQueue::nextDueTime() const {
    if (pending_.empty())
        return std::nullopt;
    return pending_.begin()->first.first;
}

} // namespace tidemark
