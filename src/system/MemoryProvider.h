#pragma once

#include "system/Kernel.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tidemark {

// System and per-process memory figures, read fresh on every call from the kernel port.
namespace MemoryProvider {

struct SystemMemory {
    std::uint64_t total = 0;
    std::uint64_t used = 0;
    std::uint64_t appMemory = 0;
    std::uint64_t wired = 0;
    std::uint64_t compressed = 0;

    friend bool operator==(const SystemMemory&, const SystemMemory&) = default;
};

struct ProcessStats {
    std::uint64_t memoryBytes = 0;
    std::uint64_t cpuTimeMs = 0;
    std::uint64_t idleWakeups = 0;

    friend bool operator==(const ProcessStats&, const ProcessStats&) = default;
};

// Always a record; only `total` is set when the statistics cannot be read.
SystemMemory systemMemory(Kernel& kernel);

// The usage record's figures, else the task record's (idle wake-ups 0), else nothing.
std::optional<ProcessStats> processStats(Kernel& kernel, std::int32_t pid);

// "12 GB", "99.5 MB", "1 KB": binary units, the unit chosen before printf rounding.
std::string formatBytes(std::uint64_t bytes);

} // namespace MemoryProvider

} // namespace tidemark
