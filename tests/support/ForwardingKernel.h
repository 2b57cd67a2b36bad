#pragma once

#include "system/Kernel.h"

namespace tidemark::testing {

// Passes every call to another kernel; tests override the calls they want to watch or bend.
class ForwardingKernel : public Kernel {
public:
    explicit ForwardingKernel(Kernel& inner) : inner_(inner) {}

    std::uint64_t physicalMemory() override { return inner_.physicalMemory(); }
    std::optional<VmStatistics> vmStatistics() override { return inner_.vmStatistics(); }
    std::uint64_t pageSize() override { return inner_.pageSize(); }
    std::optional<std::uint64_t> availableMemory() override { return inner_.availableMemory(); }
    std::optional<ProcessUsageRecord> processUsage(std::int32_t pid) override {
        return inner_.processUsage(pid);
    }
    std::optional<TaskRecord> taskRecord(std::int32_t pid) override {
        return inner_.taskRecord(pid);
    }
    std::optional<std::vector<std::int32_t>> processIdentifiers() override {
        return inner_.processIdentifiers();
    }
    std::optional<std::string> processName(std::int32_t pid) override {
        return inner_.processName(pid);
    }
    std::optional<std::string> executablePath(std::int32_t pid) override {
        return inner_.executablePath(pid);
    }
    std::optional<std::int32_t> parentProcessIdentifier(std::int32_t pid) override {
        return inner_.parentProcessIdentifier(pid);
    }
    std::optional<std::string> argumentText(std::int32_t pid) override {
        return inner_.argumentText(pid);
    }
    std::optional<std::int64_t> ownerUserId(std::int32_t pid) override {
        return inner_.ownerUserId(pid);
    }
    std::optional<std::uint64_t> startTime(std::int32_t pid) override {
        return inner_.startTime(pid);
    }
    std::optional<std::int32_t> processOfTask(std::int32_t pid) override {
        return inner_.processOfTask(pid);
    }
    std::int32_t ownProcessIdentifier() override { return inner_.ownProcessIdentifier(); }
    std::int64_t ownUserId() override { return inner_.ownUserId(); }
    bool sendSignal(std::int32_t pid, Signal signal) override {
        return inner_.sendSignal(pid, signal);
    }
    void sleepFor(std::chrono::microseconds duration) override { inner_.sleepFor(duration); }

private:
    Kernel& inner_;
};

} // namespace tidemark::testing
