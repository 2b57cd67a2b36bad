#include "platform/linux/PollMainQueue.h"

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace tidemark::linux_platform {

namespace {

class PollTimer final : public RepeatingTimer {
public:
    using RepeatingTimer::RepeatingTimer;
};

} // namespace

PollMainQueue::PollMainQueue() : start_(std::chrono::steady_clock::now()) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
    }
}

PollMainQueue::~PollMainQueue() {
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

TimeSeconds PollMainQueue::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void PollMainQueue::enqueue(TimeSeconds at, std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        pending_.emplace(Key{at, sequence_++}, std::move(task));
    }
    if (wakeWrite_ >= 0) {
        const char byte = 0;
        [[maybe_unused]] auto ignored = ::write(wakeWrite_, &byte, 1);
    }
}

void PollMainQueue::async(std::function<void()> block) {
    enqueue(now(), std::move(block));
}

std::shared_ptr<WorkItem> PollMainQueue::asyncAfter(TimeSeconds delay,
                                                    std::function<void()> block) {
    auto item = std::make_shared<WorkItem>(std::move(block));
    enqueue(now() + std::max(0.0, delay), [item] { item->perform(); });
    return item;
}

std::shared_ptr<RepeatingTimer>
PollMainQueue::scheduleRepeatingTimer(TimeSeconds interval, TimeSeconds tolerance,
                                      std::function<void()> action) {
    auto timer = std::make_shared<PollTimer>(interval, tolerance);
    std::weak_ptr<RepeatingTimer> weakTimer = timer;
    auto tick = std::make_shared<std::function<void()>>();
    *tick = [this, weakTimer, interval, action = std::move(action), tick]() {
        auto timer = weakTimer.lock();
        if (!timer || !timer->isValid())
            return;
        action();
        if (timer->isValid())
            enqueue(now() + interval, *tick);
    };
    enqueue(now() + interval, *tick);
    return timer;
}

void PollMainQueue::runInBackground(QualityOfService, std::function<void()> block) {
    std::thread(std::move(block)).detach();
}

bool PollMainQueue::hasPendingWork() {
    std::lock_guard lock(mutex_);
    return !pending_.empty();
}

void PollMainQueue::runDue() {
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty() || pending_.begin()->first.first > now())
                return;
            task = std::move(pending_.begin()->second);
            pending_.erase(pending_.begin());
        }
        task();
    }
}

void PollMainQueue::waitForEvents(TimeSeconds until) {
    TimeSeconds next = until;
    {
        std::lock_guard lock(mutex_);
        if (!pending_.empty())
            next = std::min(next, pending_.begin()->first.first);
    }
    std::vector<pollfd> fds;
    std::vector<EventSource*> owners;
    for (auto* source : sources_) {
        for (const int fd : source->eventFds()) {
            if (fd < 0)
                continue;
            fds.push_back({fd, POLLIN, 0});
            owners.push_back(source);
        }
    }
    if (wakeRead_ >= 0) {
        fds.push_back({wakeRead_, POLLIN, 0});
        owners.push_back(nullptr);
    }
    const auto waitMs = static_cast<int>(std::clamp(std::ceil((next - now()) * 1000), 0.0, 1000.0));
    if (::poll(fds.data(), fds.size(), waitMs) <= 0)
        return;
    std::vector<EventSource*> ready;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        if (!owners[i]) {
            char drain[64];
            while (::read(wakeRead_, drain, sizeof drain) > 0) {
            }
        } else if (std::find(ready.begin(), ready.end(), owners[i]) == ready.end()) {
            ready.push_back(owners[i]);
        }
    }
    for (auto* source : ready)
        source->dispatchEvents();
}

bool PollMainQueue::runUntil(const std::function<bool()>& done, TimeSeconds timeout) {
    const TimeSeconds deadline = now() + timeout;
    for (;;) {
        runDue();
        for (auto* source : sources_)
            source->dispatchEvents();
        runDue();
        if (done())
            return true;
        if (now() >= deadline)
            return false;
        waitForEvents(deadline);
    }
}

bool PollMainQueue::runUntilIdle(TimeSeconds timeout) {
    return runUntil([this] { return !hasPendingWork(); }, timeout);
}

} // namespace tidemark::linux_platform
