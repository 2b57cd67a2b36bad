#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

// Page counts of the virtual-memory statistics, as the host reports them.
struct VmStatistics {
    std::uint64_t wireCount = 0;
    std::uint64_t compressorPageCount = 0;
    std::uint64_t internalPageCount = 0;
    std::uint64_t purgeableCount = 0;

    friend bool operator==(const VmStatistics&, const VmStatistics&) = default;
};

// A process's resource-usage record: the preferred source of its figures.
struct ProcessUsageRecord {
    std::uint64_t physFootprint = 0;
    std::uint64_t userTimeNs = 0;
    std::uint64_t systemTimeNs = 0;
    std::uint64_t idleWakeups = 0;

    friend bool operator==(const ProcessUsageRecord&, const ProcessUsageRecord&) = default;
};

// A process's task record: the fallback when the usage record is refused.
struct TaskRecord {
    std::uint64_t residentSize = 0;
    std::uint64_t userTimeNs = 0;
    std::uint64_t systemTimeNs = 0;

    friend bool operator==(const TaskRecord&, const TaskRecord&) = default;
};

enum class Signal : int { Probe = 0, Kill = 9, Terminate = 15 };

// The kernel's process and memory services. Every per-process query answers nothing when the
// process does not exist (any more) or cannot be read; callers skip it. All operations may be
// called from any thread.
class Kernel {
public:
    virtual ~Kernel() = default;

    virtual std::uint64_t physicalMemory() = 0;
    // Nothing when the statistics call fails.
    virtual std::optional<VmStatistics> vmStatistics() = 0;
    virtual std::uint64_t pageSize() = 0;
    // Bytes the host counts as available to new work without swapping, where it keeps such a
    // figure (Linux's MemAvailable); what is in use is then the rest of physical memory.
    virtual std::optional<std::uint64_t> availableMemory() { return std::nullopt; }

    virtual std::optional<ProcessUsageRecord> processUsage(std::int32_t pid) = 0;
    virtual std::optional<TaskRecord> taskRecord(std::int32_t pid) = 0;

    // Every process identifier, in the kernel's order; nothing when the table cannot be read.
    virtual std::optional<std::vector<std::int32_t>> processIdentifiers() = 0;
    virtual std::optional<std::string> processName(std::int32_t pid) = 0;
    virtual std::optional<std::string> executablePath(std::int32_t pid) = 0;
    virtual std::optional<std::int32_t> parentProcessIdentifier(std::int32_t pid) = 0;
    // Executable path, arguments and environment, separated by spaces, valid UTF-8.
    virtual std::optional<std::string> argumentText(std::int32_t pid) = 0;
    virtual std::optional<std::int64_t> ownerUserId(std::int32_t pid) = 0;
    // An opaque start stamp: together with the pid it names one process for its lifetime.
    virtual std::optional<std::uint64_t> startTime(std::int32_t pid) = 0;
    // The process a task id belongs to: the id itself for a process, the process's own for
    // one of its other threads, whose id the per-process queries answer for as well and
    // whose signal reaches the whole process.
    virtual std::optional<std::int32_t> processOfTask(std::int32_t pid) = 0;

    virtual std::int32_t ownProcessIdentifier() = 0;
    virtual std::int64_t ownUserId() = 0;

    // True when the signal was delivered (for `Signal::Probe`: the process exists and may
    // be signalled).
    virtual bool sendSignal(std::int32_t pid, Signal signal) = 0;
    virtual void sleepFor(std::chrono::microseconds duration) = 0;
};

} // namespace tidemark
