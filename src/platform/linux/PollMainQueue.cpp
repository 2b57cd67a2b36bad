#include "platform/linux/PollMainQueue.h"

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace tidemark::linux_platform {

namespace {

class PollTimer final : public RepeatingTimer {
public:
    using RepeatingTimer::RepeatingTimer;
};

} // namespace

class PollMainQueue::Watch final : public DescriptorWatch {
public:
    Watch(std::weak_ptr<WatchTable> table, std::uint64_t id) : table_(std::move(table)), id_(id) {}
    ~Watch() override {
        if (auto table = table_.lock())
            table->erase(id_);
    }

private:
    std::weak_ptr<WatchTable> table_;
    std::uint64_t id_;
};

PollMainQueue::PollMainQueue() : start_(std::chrono::steady_clock::now()) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
    }
}

PollMainQueue::~PollMainQueue() {
    // Work started in the background may start more; join until none is left.
    for (;;) {
        std::vector<BackgroundThread> running;
        {
            std::lock_guard lock(backgroundMutex_);
            running.swap(background_);
        }
        if (running.empty())
            break;
        for (auto& background : running)
            background.thread.join();
    }
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
    queueTick(std::make_shared<TimerTicks>(TimerTicks{timer, std::move(action), interval}));
    return timer;
}

void PollMainQueue::queueTick(std::shared_ptr<TimerTicks> ticks) {
    // Each tick queues the next with the same state, which refers to nothing that holds it:
    // the queue's pending work is all that keeps a timer's action alive.
    const auto at = now() + ticks->interval;
    enqueue(at, [this, ticks] {
        auto timer = ticks->timer.lock();
        if (!timer || !timer->isValid())
            return;
        ticks->action();
        if (timer->isValid())
            queueTick(ticks);
    });
}

void PollMainQueue::runInBackground(QualityOfService, std::function<void()> block) {
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard lock(backgroundMutex_);
    // Threads that are done are joined here, so that they do not pile up.
    std::erase_if(background_, [](BackgroundThread& background) {
        if (!background.finished->load())
            return false;
        background.thread.join();
        return true;
    });
    background_.push_back({std::thread([block = std::move(block), finished] {
                               block();
                               finished->store(true);
                           }),
                           finished});
}

std::unique_ptr<DescriptorWatch> PollMainQueue::watchDescriptor(int descriptor,
                                                                DescriptorCondition condition,
                                                                std::function<void()> ready) {
    const auto id = nextWatch_++;
    const short events = condition == DescriptorCondition::Priority ? POLLPRI : POLLIN;
    watched_->emplace(id, Watched{descriptor, events, std::move(ready)});
    return std::make_unique<Watch>(watched_, id);
}

bool PollMainQueue::hasPendingWork() {
    std::lock_guard lock(mutex_);
    return !pending_.empty();
}

bool PollMainQueue::runDue(const std::function<bool()>& done) {
    // Descriptors first: what arrived is older than what fell due while waiting for it.
    while (!readyWatches_.empty()) {
        if (done())
            return true;
        const auto id = readyWatches_.front();
        readyWatches_.erase(readyWatches_.begin());
        // Held by the table only: a handler that ends its own watch outlives it here.
        if (const auto it = watched_->find(id); it != watched_->end()) {
            const auto ready = it->second.ready;
            ready();
        }
    }
    for (;;) {
        if (done())
            return true;
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty() || pending_.begin()->first.first > now())
                return false;
            task = std::move(pending_.begin()->second);
            pending_.erase(pending_.begin());
        }
        task();
    }
}

void PollMainQueue::waitForWork(TimeSeconds until) {
    TimeSeconds next = until;
    {
        std::lock_guard lock(mutex_);
        if (!pending_.empty())
            next = std::min(next, pending_.begin()->first.first);
    }
    const auto waitMs = static_cast<int>(std::clamp(std::ceil((next - now()) * 1000), 0.0, 1000.0));
    std::vector<pollfd> polled{{wakeRead_, POLLIN, 0}};
    std::vector<std::uint64_t> ids;
    for (const auto& [id, watched] : *watched_)
        if (!watched.invalid) {
            polled.push_back({watched.descriptor, watched.events, 0});
            ids.push_back(id);
        }
    if (::poll(polled.data(), polled.size(), waitMs) <= 0)
        return;
    if (polled.front().revents & POLLIN) {
        char drain[64];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
    }
    for (std::size_t i = 1; i < polled.size(); ++i) {
        const auto revents = polled[i].revents;
        if (revents & POLLNVAL)
            (*watched_)[ids[i - 1]].invalid = true;
        else if (revents & (polled[i].events | POLLHUP | POLLERR))
            readyWatches_.push_back(ids[i - 1]);
    }
}

bool PollMainQueue::runUntil(const std::function<bool()>& done, TimeSeconds timeout) {
    const TimeSeconds deadline = now() + timeout;
    for (;;) {
        if (runDue(done))
            return true;
        if (now() >= deadline)
            return false;
        waitForWork(deadline);
    }
}

bool PollMainQueue::runUntilIdle(TimeSeconds timeout) {
    return runUntil([this] { return !hasPendingWork(); }, timeout);
}

} // namespace tidemark::linux_platform
