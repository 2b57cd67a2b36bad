#include "system/ProcessIdentity.h"

namespace tidemark {

ProcessIdentity identifyProcess(Kernel& kernel, std::int32_t pid,
                                std::optional<std::uint64_t> seenStart) {
    const std::int32_t own = kernel.ownProcessIdentifier();
    if (pid <= 1 || pid == own)
        return ProcessIdentity::Untouchable;
    // A thread's id answers like a process, but its signal ends the whole process: this
    // program's own threads among them.
    const auto process = kernel.processOfTask(pid);
    if (!process)
        return ProcessIdentity::Gone;
    if (*process != pid)
        return ProcessIdentity::Untouchable;
    const auto started = kernel.startTime(pid);
    if (!started)
        return ProcessIdentity::Gone;
    if (!seenStart || *started != *seenStart)
        return ProcessIdentity::Replaced;
    const auto owner = kernel.ownerUserId(pid);
    if (!owner)
        return kernel.startTime(pid) ? ProcessIdentity::Untouchable : ProcessIdentity::Gone;
    return *owner == kernel.ownUserId() ? ProcessIdentity::Same : ProcessIdentity::Untouchable;
}

} // namespace tidemark
