#include "platform/linux/settings/WriteInProgress.h"

namespace tidemark::linux_platform {

void WriteInProgress::created(Clock::time_point now) {
    since_ = now;
    lastSize_ = 0; // a created file starts empty
}

bool WriteInProgress::stillWriting(std::uintmax_t size, Clock::time_point now) {
    if (!since_)
        return false;
    if (now - *since_ >= kGrace) {
        since_.reset();
        return false;
    }
    const bool growing = size != lastSize_;
    lastSize_ = size;
    if (size == 0 || growing)
        return true;
    since_.reset(); // it stopped short: judge it now
    return false;
}

std::optional<WriteInProgress::Clock::time_point> WriteInProgress::deadline() const {
    if (!since_)
        return std::nullopt;
    return *since_ + kGrace;
}

} // namespace tidemark::linux_platform
