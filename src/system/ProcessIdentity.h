#pragma once

#include "system/Kernel.h"

#include <cstdint>
#include <optional>

namespace tidemark {

// What a pid names now, compared with the process seen earlier.
enum class ProcessIdentity {
    Same,       // the process seen earlier, ours to signal
    Gone,       // no process has this pid any more
    Replaced,   // another process took the pid, or the earlier look could not tell them apart
    Untouchable // pid 0 or 1 (or below), this program, a thread, or another user's process
};

// `seenStart` is the start stamp read when the process was looked at; absent, the process
// cannot be told apart from a successor and is never `Same`.
ProcessIdentity identifyProcess(Kernel& kernel, std::int32_t pid,
                                std::optional<std::uint64_t> seenStart);

} // namespace tidemark
