#pragma once

#include "foundation/Value.h"
#include "spaces/WindowServer.h"
#include "spaces/Workspace.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tidemark::sim {

// A simulated desktop, kernel and settings store, as loaded from a scenario file.

struct SelfProcess {
    std::int32_t pid = 1;
    std::optional<std::string> bundleIdentifier;
    std::int64_t uid = 501;
};

struct App {
    RunningApplication application;
    bool acceptsTerminate = true;
    bool acceptsForceTerminate = true;
};

struct ProcessUsage {
    std::int64_t physFootprint = 0;
    std::int64_t userTimeNs = 0;
    std::int64_t systemTimeNs = 0;
    std::int64_t idleWakeups = 0;
};

struct TaskInfo {
    std::int64_t residentSize = 0;
    std::int64_t userTimeNs = 0;
    std::int64_t systemTimeNs = 0;
};

struct Process {
    std::int32_t pid = 0;
    std::int32_t ppid = 1;
    std::optional<std::string> name;
    std::optional<std::string> path;
    std::optional<std::string> args;
    std::int64_t uid = 501;
    std::int64_t startTime = 0;
    std::optional<ProcessUsage> rusage;
    std::optional<TaskInfo> taskInfo;
    bool ignoresSigterm = false;
    bool ignoresSigkill = false;
    // Set for another thread of that process: answered for by id, never listed, and a signal
    // to it reaches the whole process.
    std::optional<std::int32_t> threadOf;
};

struct VmStatistics {
    std::int64_t wireCount = 0;
    std::int64_t compressorPageCount = 0;
    std::int64_t internalPageCount = 0;
    std::int64_t purgeableCount = 0;
};

struct Memory {
    std::int64_t physicalMemory = 0;
    std::int64_t pageSize = 0;
    std::optional<VmStatistics> vmStatistics = VmStatistics{};
};

struct Scenario {
    Appearance appearance = Appearance::Light;
    ValueDictionary settings;
    SelfProcess self;
    DisplayList displays = std::make_shared<const std::vector<Display>>();
    SharedWindowList windows = std::make_shared<const WindowList>();
    // Whether the platform tells which spaces a window is on; later window lists (an event
    // script's) are read with the same answer.
    bool spacesForWindowsAvailable = true;
    std::vector<App> apps;
    std::vector<std::string> installedBundleIDs;
    std::vector<Process> processes;
    Memory memory;
    bool accessibilityTrusted = true;
};

// A scenario that cannot be read: names the file, the member and the reason, on one
// printable line whatever the input held.
class ScenarioError : public std::runtime_error {
public:
    explicit ScenarioError(const std::string& message);
};

Scenario loadScenario(const std::filesystem::path& file);
// `origin` names the source in error messages.
Scenario parseScenario(std::string_view json, const std::string& origin);

// The apps member, also used by event scripts. `where` names it in error messages.
std::vector<App> parseApps(const Value& value, const std::string& where);

} // namespace tidemark::sim
