#pragma once

#include "platform/sim/SimKernel.h"
#include "platform/sim/SimPlatform.h"
#include "system/ResidualProcessCleaner.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tidemark::testing {

using Json = nlohmann::json;

// A scenario built up in code, then loaded as the commands load it.
struct ScenarioBuilder {
    Json root = Json::object();

    ScenarioBuilder() {
        root["self"] = {{"pid", 40}, {"bundleIdentifier", "io.tidemark.Tidemark"}, {"uid", 501}};
        root["windows"] = Json::array();
        root["apps"] = Json::array();
        root["processes"] = Json::array();
        root["installedBundleIDs"] = Json::array();
    }

    // A window that counts: layer 0, opaque, 800 x 600, on space 3.
    static Json realWindow(int number, int ownerPID) {
        return {{"kCGWindowLayer", 0},
                {"kCGWindowAlpha", 1.0},
                {"kCGWindowBounds", {{"X", 0.0}, {"Y", 0.0}, {"Width", 800.0}, {"Height", 600.0}}},
                {"kCGWindowNumber", number},
                {"kCGWindowOwnerPID", ownerPID},
                {"kCGWindowIsOnscreen", true},
                {"spaces", {3}}};
    }

    ScenarioBuilder& window(Json window) {
        root["windows"].push_back(std::move(window));
        return *this;
    }
    ScenarioBuilder& app(int pid, std::optional<std::string> bundleID,
                         std::optional<std::string> name, const std::string& policy = "regular",
                         bool terminated = false) {
        root["apps"].push_back({{"pid", pid},
                                {"bundleIdentifier", bundleID ? Json(*bundleID) : Json()},
                                {"localizedName", name ? Json(*name) : Json()},
                                {"activationPolicy", policy},
                                {"terminated", terminated}});
        return *this;
    }
    // A process whose usage record reports `megabytes` and `cpuMs`.
    ScenarioBuilder& process(int pid, int ppid, const std::string& name,
                             Json extra = Json::object(), double megabytes = 10,
                             std::int64_t cpuMs = 0) {
        Json entry = {{"pid", pid},
                      {"ppid", ppid},
                      {"name", name},
                      {"startTime", 1000 + pid},
                      {"rusage",
                       {{"physFootprint", std::int64_t(megabytes * 1048576)},
                        {"userTimeNs", cpuMs * 1'000'000},
                        {"systemTimeNs", 0},
                        {"idleWakeups", 3}}}};
        for (auto& [key, value] : extra.items())
            entry[key] = value;
        root["processes"].push_back(std::move(entry));
        return *this;
    }
    ScenarioBuilder& installed(const std::string& bundleID) {
        root["installedBundleIDs"].push_back(bundleID);
        return *this;
    }

    sim::Scenario build() const { return sim::parseScenario(root.dump(), "test"); }
};

// The sim platform, its kernel and a cleaner over them.
struct ScanWorld {
    explicit ScanWorld(const ScenarioBuilder& builder)
        : platform(builder.build()), kernel(platform.scenario),
          cleaner(kernel, platform.windowServer, platform.workspace) {}

    std::vector<ResidualProcess> scan() { return cleaner.findResidualProcesses(); }

    sim::SimPlatform platform;
    sim::SimKernel kernel;
    ResidualProcessCleaner cleaner;
};

// "name <parentApp>" per entry, in order: compact to compare whole scan results.
inline std::vector<std::string> described(const std::vector<ResidualProcess>& processes) {
    std::vector<std::string> lines;
    for (const auto& process : processes)
        lines.push_back(std::to_string(process.id) + " " + process.name + " <" + process.parentApp +
                        ">");
    return lines;
}

} // namespace tidemark::testing
