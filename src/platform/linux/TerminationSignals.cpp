#include "platform/linux/TerminationSignals.h"

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace tidemark::linux_platform {

TerminationSignals::TerminationSignals(MainQueue& mainQueue,
                                       std::function<void(int signal)> onSignal)
    : onSignal_(std::move(onSignal)) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    fd_ = ::signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
    watcher_ = std::make_unique<FdWatcher>(mainQueue, *this);
}

TerminationSignals::~TerminationSignals() {
    watcher_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

void TerminationSignals::dispatchEvents() {
    signalfd_siginfo info{};
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        if (onSignal_)
            onSignal_(static_cast<int>(info.ssi_signo));
}

} // namespace tidemark::linux_platform
