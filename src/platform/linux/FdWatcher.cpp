#include "platform/linux/FdWatcher.h"

#include <algorithm>

namespace tidemark::linux_platform {

DescriptorCondition EventSource::condition() const {
    return DescriptorCondition::Readable;
}

FdWatcher::FdWatcher(MainQueue& mainQueue, EventSource& source)
    : mainQueue_(mainQueue), source_(source) {
    descriptorsChanged();
}

FdWatcher::~FdWatcher() = default;

void FdWatcher::descriptorsChanged() {
    auto fds = source_.eventFds();
    std::erase(fds, -1);
    std::erase_if(watches_, [&](const auto& watch) {
        return std::find(fds.begin(), fds.end(), watch.first) == fds.end();
    });
    for (const int fd : fds) {
        if (std::any_of(watches_.begin(), watches_.end(),
                        [fd](const auto& watch) { return watch.first == fd; }))
            continue;
        watches_.emplace_back(
            fd, mainQueue_.watchDescriptor(fd, source_.condition(), [this] { dispatch(); }));
    }
}

void FdWatcher::dispatch() {
    // The dispatch may end the watcher (its owner stops on what it read).
    const std::weak_ptr<bool> alive = alive_;
    source_.dispatchEvents();
    if (!alive.expired())
        descriptorsChanged();
}

} // namespace tidemark::linux_platform
