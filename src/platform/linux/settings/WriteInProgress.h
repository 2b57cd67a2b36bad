#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tidemark::linux_platform {

// Whether a settings file another program created is still being written. A file made by
// open(O_CREAT) starts empty and grows until its writer closes it; read in between, it does
// not parse and would be taken for damaged. So a file that is empty or has grown since it
// was last seen is left alone until its writer closes it, or until a grace time has passed:
// a writer that keeps the file open for longer is judged as if it had closed it.
class WriteInProgress {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kGrace{2000};

    // The file was created (IN_CREATE).
    void created(Clock::time_point now);
    // Its writer closed it, or the name now holds another file (IN_CLOSE_WRITE, a rename,
    // a removal): what is there can be judged.
    void settled() { since_.reset(); }

    // Whether the file, now `size` bytes long and not readable as settings, is still being
    // written and has to be looked at again before it is judged. Remembers the size.
    bool stillWriting(std::uintmax_t size, Clock::time_point now);

    // When to look again at the latest, while a write is in progress.
    std::optional<Clock::time_point> deadline() const;

private:
    std::optional<Clock::time_point> since_;
    std::uintmax_t lastSize_ = 0;
};

} // namespace tidemark::linux_platform
