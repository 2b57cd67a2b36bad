#include "system/MemoryProvider.h"

#include <charconv>
#include <cmath>

namespace tidemark::MemoryProvider {

namespace {

constexpr std::uint64_t kNanosecondsPerMillisecond = 1'000'000;

// "%.<decimals>f <unit>" as printf prints it in the C locale (round-half-even on the exact
// binary value), whatever locale the application has set.
std::string fixed(double value, int decimals, const char* unit) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr) + " " + unit;
}

bool hasFraction(double value) {
    return value != std::trunc(value);
}

// Figures that would not fit in 64 bits stop at the largest one instead of wrapping round.
std::uint64_t saturatingProduct(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}

std::uint64_t saturatingSum(std::uint64_t a, std::uint64_t b) {
    std::uint64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? UINT64_MAX : sum;
}

} // namespace

SystemMemory systemMemory(Kernel& kernel) {
    SystemMemory memory;
    memory.total = kernel.physicalMemory();
    const auto statistics = kernel.vmStatistics();
    if (!statistics)
        return memory;
    const std::uint64_t page = kernel.pageSize();
    memory.wired = saturatingProduct(statistics->wireCount, page);
    memory.compressed = saturatingProduct(statistics->compressorPageCount, page);
    const std::uint64_t internal = saturatingProduct(statistics->internalPageCount, page);
    const std::uint64_t purgeable = saturatingProduct(statistics->purgeableCount, page);
    memory.appMemory = internal >= purgeable ? internal - purgeable : 0;
    if (const auto available = kernel.availableMemory())
        memory.used = memory.total > *available ? memory.total - *available : 0;
    else
        memory.used =
            saturatingSum(saturatingSum(memory.appMemory, memory.wired), memory.compressed);
    return memory;
}

std::optional<ProcessStats> processStats(Kernel& kernel, std::int32_t pid) {
    if (const auto usage = kernel.processUsage(pid)) {
        return ProcessStats{usage->physFootprint,
                            saturatingSum(usage->userTimeNs, usage->systemTimeNs) /
                                kNanosecondsPerMillisecond,
                            usage->idleWakeups};
    }
    if (const auto task = kernel.taskRecord(pid)) {
        return ProcessStats{
            task->residentSize,
            saturatingSum(task->userTimeNs, task->systemTimeNs) / kNanosecondsPerMillisecond, 0};
    }
    return std::nullopt;
}

std::string formatBytes(std::uint64_t bytes) {
    const double n = static_cast<double>(bytes);
    const double gigabytes = n / 1073741824.0;
    if (gigabytes >= 1) {
        return fixed(gigabytes, gigabytes < 10 && hasFraction(gigabytes) ? 1 : 0, "GB");
    }
    const double megabytes = n / 1048576.0;
    if (megabytes >= 1) {
        return fixed(megabytes, megabytes < 100 && hasFraction(megabytes) ? 1 : 0, "MB");
    }
    return fixed(n / 1024.0, 0, "KB");
}

} // namespace tidemark::MemoryProvider
