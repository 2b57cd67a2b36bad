#pragma once

#include "system/Kernel.h"

#include <filesystem>

namespace tidemark::linux_proc {

// The kernel port over /proc, /sys and sysinfo. Every figure's Linux meaning is written up
// in docs/ARCHITECTURE.md. A process that vanishes or cannot be read answers nothing.
class ProcKernel final : public Kernel {
public:
    // Argument text is cut to this many bytes; markers sit well before it.
    static constexpr std::size_t kMaxArgumentBytes = 256 * 1024;
    static constexpr std::size_t kMaxNameBytes = 1024;
    static constexpr std::size_t kMaxPathBytes = 4096;

    // The roots are parameters so that tests can hand in a prepared tree.
    explicit ProcKernel(std::filesystem::path procRoot = "/proc",
                        std::filesystem::path sysRoot = "/sys");

    std::uint64_t physicalMemory() override;
    std::optional<VmStatistics> vmStatistics() override;
    std::uint64_t pageSize() override { return pageSize_; }
    std::optional<std::uint64_t> availableMemory() override;
    std::optional<ProcessUsageRecord> processUsage(std::int32_t pid) override;
    std::optional<TaskRecord> taskRecord(std::int32_t pid) override;
    std::optional<std::vector<std::int32_t>> processIdentifiers() override;
    std::optional<std::string> processName(std::int32_t pid) override;
    std::optional<std::string> executablePath(std::int32_t pid) override;
    std::optional<std::int32_t> parentProcessIdentifier(std::int32_t pid) override;
    std::optional<std::string> argumentText(std::int32_t pid) override;
    std::optional<std::int64_t> ownerUserId(std::int32_t pid) override;
    // Clock ticks since boot at which the process started; nothing for a process that has
    // ended, even while its parent has not yet reaped it.
    std::optional<std::uint64_t> startTime(std::int32_t pid) override;
    // Its thread group: /proc answers for a thread's id too, though it lists processes only.
    std::optional<std::int32_t> processOfTask(std::int32_t pid) override;
    std::int32_t ownProcessIdentifier() override { return ownPID_; }
    std::int64_t ownUserId() override { return ownUID_; }
    bool sendSignal(std::int32_t pid, Signal signal) override;
    void sleepFor(std::chrono::microseconds duration) override;

private:
    std::string processFile(std::int32_t pid, const char* name) const;
    std::uint64_t ticksToNanoseconds(std::uint64_t ticks) const;
    std::uint64_t compressedBytes();

    std::string procRoot_;
    std::filesystem::path sysRoot_;
    std::uint64_t pageSize_;
    std::uint64_t ticksPerSecond_;
    std::int32_t ownPID_;
    std::int64_t ownUID_;
};

} // namespace tidemark::linux_proc
