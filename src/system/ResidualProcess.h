#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tidemark {

// A leftover process found by the residual scan. Identified by `id` alone.
struct ResidualProcess {
    std::int32_t id = 0;
    std::string name;
    std::string parentApp;
    // All three present or all three absent.
    std::optional<std::uint64_t> memoryBytes;
    std::optional<std::uint64_t> cpuTimeMs;
    std::optional<std::uint64_t> idleWakeups;
    // The kernel's start stamp at scan time: termination signals the pid only while it still
    // names this very process. Absent: the process cannot be told apart, so it is not signalled.
    std::optional<std::uint64_t> startTime;

    friend bool operator==(const ResidualProcess& a, const ResidualProcess& b) {
        return a.id == b.id;
    }
};

} // namespace tidemark

template <> struct std::hash<tidemark::ResidualProcess> {
    std::size_t operator()(const tidemark::ResidualProcess& process) const noexcept {
        return std::hash<std::int32_t>{}(process.id);
    }
};
