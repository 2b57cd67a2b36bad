#include "system/ProcessIdentity.h"

namespace tidemark {

ProcessIdentity identifyProcess(Kernel& kernel, std::int32_t pid,
                                std::optional<std::uint64_t> seenStart) {
    if (pid <= 1 || pid == kernel.ownProcessIdentifier())
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
