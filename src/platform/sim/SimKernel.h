#pragma once

#include "platform/scenario/Scenario.h"
#include "system/Kernel.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace tidemark::sim {

// The process table and memory of a scenario. Signals act on the table: SIGTERM and SIGKILL
// remove a process unless it ignores them. Sleeping takes no real time; it is recorded.
// Safe to use from several threads.
class SimKernel final : public Kernel {
public:
    struct SentSignal {
        std::int32_t pid;
        Signal signal;
        bool delivered;
    };

    explicit SimKernel(const Scenario& scenario);

    std::uint64_t physicalMemory() override;
    std::optional<tidemark::VmStatistics> vmStatistics() override;
    std::uint64_t pageSize() override;
    std::optional<ProcessUsageRecord> processUsage(std::int32_t pid) override;
    std::optional<TaskRecord> taskRecord(std::int32_t pid) override;
    std::optional<std::vector<std::int32_t>> processIdentifiers() override;
    std::optional<std::string> processName(std::int32_t pid) override;
    std::optional<std::string> executablePath(std::int32_t pid) override;
    std::optional<std::int32_t> parentProcessIdentifier(std::int32_t pid) override;
    std::optional<std::string> argumentText(std::int32_t pid) override;
    std::optional<std::int64_t> ownerUserId(std::int32_t pid) override;
    std::optional<std::uint64_t> startTime(std::int32_t pid) override;
    std::optional<std::int32_t> processOfTask(std::int32_t pid) override;
    std::int32_t ownProcessIdentifier() override { return ownPID_; }
    std::int64_t ownUserId() override { return ownUID_; }
    bool sendSignal(std::int32_t pid, Signal signal) override;
    void sleepFor(std::chrono::microseconds duration) override;

    // Test controls: change the table as the world would between two calls.
    void addProcess(const Process& process);
    void removeProcess(std::int32_t pid);
    void setMemory(const Memory& memory);
    // Runs after each sleep, under no lock, so it may change the table.
    void setSleepHook(std::function<void(std::chrono::microseconds)> hook);
    // Called with every signal sent (pid, signal, delivered), outside the table's lock.
    void setSignalHook(std::function<void(std::int32_t, Signal, bool)> hook);

    std::vector<SentSignal> sentSignals() const;
    std::chrono::microseconds totalSleep() const;
    // How many argument-text queries ran, to check what the scan reads.
    int argumentTextQueries() const;

private:
    const Process* find(std::int32_t pid) const;
    void removeLocked(std::int32_t pid);

    mutable std::mutex mutex_;
    std::vector<Process> processes_;
    std::unordered_map<std::int32_t, std::size_t> indexByPID_;
    Memory memory_;
    std::int32_t ownPID_;
    std::int64_t ownUID_;
    std::vector<SentSignal> sent_;
    std::chrono::microseconds slept_{0};
    int argumentTextQueries_ = 0;
    std::function<void(std::chrono::microseconds)> sleepHook_;
    std::function<void(std::int32_t, Signal, bool)> signalHook_;
};

} // namespace tidemark::sim
