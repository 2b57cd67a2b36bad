#include "platform/linux/FdWatcher.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace tidemark::linux_platform {

short EventSource::pollEvents() const {
    return POLLIN;
}

FdWatcher::FdWatcher(MainQueue& mainQueue, EventSource& source)
    : mainQueue_(mainQueue), source_(source), shared_(std::make_shared<Shared>()) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    shared_->wakeRead = fds[0];
    shared_->wakeWrite = fds[1];
    shared_->fds = source_.eventFds();
    thread_ = std::thread([this] { run(); });
}

FdWatcher::~FdWatcher() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->idle.notify_all();
    wake();
    if (thread_.joinable())
        thread_.join();
    if (shared_->wakeRead >= 0)
        ::close(shared_->wakeRead);
    if (shared_->wakeWrite >= 0)
        ::close(shared_->wakeWrite);
}

void FdWatcher::wake() {
    if (shared_->wakeWrite < 0)
        return;
    const char byte = 0;
    [[maybe_unused]] auto ignored = ::write(shared_->wakeWrite, &byte, 1);
}

void FdWatcher::descriptorsChanged() {
    auto fds = source_.eventFds();
    {
        std::lock_guard lock(shared_->mutex);
        shared_->fds = std::move(fds);
    }
    wake();
}

void FdWatcher::run() {
    std::weak_ptr<Shared> weakShared = shared_;
    for (;;) {
        std::vector<pollfd> polled;
        {
            std::unique_lock lock(shared_->mutex);
            shared_->idle.wait(lock, [&] { return shared_->stopping || !shared_->dispatching; });
            if (shared_->stopping)
                return;
            for (const int fd : shared_->fds)
                if (fd >= 0)
                    polled.push_back({fd, source_.pollEvents(), 0});
        }
        polled.push_back({shared_->wakeRead, POLLIN, 0});
        if (::poll(polled.data(), polled.size(), -1) < 0)
            continue;
        if (polled.back().revents & POLLIN) {
            char drain[64];
            while (::read(shared_->wakeRead, drain, sizeof drain) > 0) {
            }
        }
        bool readable = false;
        for (std::size_t i = 0; i + 1 < polled.size(); ++i)
            readable = readable || (polled[i].revents & (polled[i].events | POLLHUP | POLLERR));
        if (!readable)
            continue;
        {
            std::lock_guard lock(shared_->mutex);
            if (shared_->stopping)
                return;
            shared_->dispatching = true;
        }
        // The block finds the watcher gone when it was destroyed in the meantime.
        mainQueue_.async([weakShared, source = &source_] {
            auto shared = weakShared.lock();
            if (!shared)
                return;
            {
                std::lock_guard lock(shared->mutex);
                if (shared->stopping)
                    return;
            }
            source->dispatchEvents();
            auto fds = source->eventFds();
            {
                std::lock_guard lock(shared->mutex);
                shared->fds = std::move(fds);
                shared->dispatching = false;
            }
            shared->idle.notify_all();
        });
    }
}

} // namespace tidemark::linux_platform
