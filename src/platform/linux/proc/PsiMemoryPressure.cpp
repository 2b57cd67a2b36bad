#include "platform/linux/proc/PsiMemoryPressure.h"

#include "platform/linux/FdWatcher.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace tidemark::linux_platform {

namespace {

// One trigger: its descriptor signals POLLPRI once per window in which the stall passed
// the threshold. The kernel clears the event when a poll sees it, so a dispatch (which only
// follows a poll that saw something) counts as an event unless the trigger broke.
class PsiSource final : public MemoryPressureSource, public EventSource {
public:
    PsiSource(MainQueue& mainQueue, int fd, std::function<void()> handler)
        : fd_(fd), handler_(std::move(handler)) {
        if (fd_ >= 0)
            watcher_ = std::make_unique<FdWatcher>(mainQueue, *this);
    }
    ~PsiSource() override { cancel(); }

    void cancel() override {
        watcher_.reset();
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        handler_ = nullptr;
    }

    std::vector<int> eventFds() override {
        if (fd_ < 0)
            return {};
        return {fd_};
    }
    DescriptorCondition condition() const override { return DescriptorCondition::Priority; }
    void dispatchEvents() override {
        if (fd_ < 0)
            return;
        pollfd p{fd_, POLLPRI, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLNVAL))) {
            // The trigger is gone (the file was removed, the cgroup died): stop listening.
            ::close(fd_);
            fd_ = -1;
            return;
        }
        if (handler_)
            handler_();
    }

private:
    int fd_;
    std::function<void()> handler_;
    std::unique_ptr<FdWatcher> watcher_;
};

} // namespace

std::string PsiMemoryPressure::triggerText(unsigned stallMicroseconds,
                                           unsigned windowMicroseconds) {
    return "some " + std::to_string(stallMicroseconds) + " " + std::to_string(windowMicroseconds);
}

std::unique_ptr<MemoryPressureSource>
PsiMemoryPressure::startSource(std::function<void()> handler) {
    int fd = ::open(file_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        const auto trigger = triggerText(kStallMicroseconds, kWindowMicroseconds);
        // The kernel wants the terminating zero with the text.
        if (::write(fd, trigger.c_str(), trigger.size() + 1) < 0) {
            ::close(fd);
            fd = -1;
        }
    }
    return std::make_unique<PsiSource>(mainQueue_, fd, std::move(handler));
}

} // namespace tidemark::linux_platform
