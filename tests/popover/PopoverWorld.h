#pragma once

#include "platform/sim/SimPlatform.h"
#include "popover/SpacePopoverViewModel.h"
#include "system/ScanWorld.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tidemark::testing {

inline constexpr std::uint64_t kMB = 1048576;

// Page counts in MB: a page of 1 MB.
inline Json memoryJson(std::int64_t internalMB, std::int64_t wiredMB = 1000,
                       std::int64_t compressedMB = 500) {
    return {{"physicalMemory", std::int64_t(16384 * kMB)},
            {"pageSize", std::int64_t(kMB)},
            {"vmStatistics",
             {{"wireCount", wiredMB},
              {"compressorPageCount", compressedMB},
              {"internalPageCount", internalMB},
              {"purgeableCount", 0}}}};
}

inline sim::Memory simMemory(std::int64_t internalMB, std::int64_t wiredMB = 1000,
                             std::int64_t compressedMB = 500) {
    return {std::int64_t(16384 * kMB), std::int64_t(kMB),
            sim::VmStatistics{wiredMB, compressedMB, internalMB, 0}};
}

inline SpaceAppDetail detail(std::int32_t pid, const std::string& name,
                             const std::string& bundleID) {
    return SpaceAppDetail{name, nullptr, bundleID, pid};
}

inline Space space(const std::string& spaceID, std::vector<SpaceAppDetail> details) {
    Space space;
    space.displayID = "Main";
    space.spaceID = spaceID;
    space.appDetails = std::move(details);
    return space;
}

// A desktop of three spaces over the sim platform. On space "3": Browser (101, 500 MB),
// Editor (102, 200 MB), Finder (103) and Ghost (107, whose process is gone). Elsewhere: Mail
// (104, 300 MB, on "5" and "9"), Browser again, a root-owned tool (105, 80 MB) and Terminal
// (106, figures unreadable). System memory: 6000 MB of app memory, 7500 MB used.
inline ScenarioBuilder desktopScenario() {
    ScenarioBuilder builder;
    builder.app(101, "org.example.Browser", "Browser")
        .app(102, "org.example.Editor", "Editor")
        .app(103, "com.apple.finder", "Finder")
        .app(104, "org.example.Mail", "Mail")
        .app(105, "org.example.RootTool", "Root Tool")
        .app(106, "org.example.Terminal", "Terminal")
        .app(107, "org.example.Ghost", "Ghost")
        .process(101, 1, "Browser", Json::object(), 500)
        .process(102, 1, "Editor", Json::object(), 200)
        .process(103, 1, "Finder", Json::object(), 50)
        .process(104, 1, "Mail", Json::object(), 300)
        .process(105, 1, "RootTool", {{"uid", 0}}, 80)
        .process(106, 1, "Terminal", {{"rusage", nullptr}});
    builder.root["memory"] = memoryJson(6000);
    return builder;
}

inline std::vector<Space> desktopSpaces() {
    return {space("3", {detail(101, "Browser", "org.example.Browser"),
                        detail(102, "Editor", "org.example.Editor"),
                        detail(103, "Finder", "com.apple.finder"),
                        detail(107, "Ghost", "org.example.Ghost")}),
            space("5", {detail(104, "Mail", "org.example.Mail"),
                        detail(101, "Browser", "org.example.Browser"),
                        detail(105, "Root Tool", "org.example.RootTool")}),
            space("9", {detail(104, "Mail", "org.example.Mail"),
                        detail(106, "Terminal", "org.example.Terminal")})};
}

// The sim platform with the popover model over it, and every change the model announces.
struct PopoverWorld {
    struct Seen {
        TimeSeconds at;
        PopoverChange change;
    };

    explicit PopoverWorld(const ScenarioBuilder& builder = desktopScenario())
        : platform(builder.build()), model(SpacePopoverViewModel::create(
                                         {platform.mainQueue, platform.kernel, platform.workspace,
                                          platform.cleaner, platform.appActions})) {
        token = model->observeChanges([this](const PopoverChange& change) {
            seen.push_back({platform.mainQueue.now(), change});
        });
    }

    // What the status bar does when the panel opens over `spaceID`.
    void open(const std::string& spaceID, const std::vector<Space>& spaces = desktopSpaces()) {
        for (const auto& candidate : spaces)
            if (candidate.spaceID == spaceID) {
                model->setSpace(candidate);
                model->updateMemory(candidate);
                model->updateOtherApps(candidate, spaces, true);
            }
    }

    void runUntil(TimeSeconds time) { platform.mainQueue.runUntil(time); }

    // The replay lines of what the simulated system was asked, "at line".
    std::vector<std::string> requests() const {
        std::vector<std::string> lines;
        for (const auto& action : platform.actions.actions())
            if (const auto line = sim::replayLineFields(action)) {
                char at[32];
                std::snprintf(at, sizeof at, "%.3f ", action.at);
                lines.push_back(at + line->dump());
            }
        return lines;
    }

    std::vector<std::int32_t> shownPids() const {
        std::vector<std::int32_t> pids;
        if (model->space())
            for (const auto& d : model->space()->appDetails)
                pids.push_back(d.pid);
        return pids;
    }
    std::vector<std::int32_t> otherPids() const {
        std::vector<std::int32_t> pids;
        for (const auto& d : model->otherApps())
            pids.push_back(d.pid);
        return pids;
    }
    // Times at which `field` was assigned.
    std::vector<TimeSeconds> assignments(PopoverField field) const {
        std::vector<TimeSeconds> times;
        for (const auto& s : seen)
            if (s.change.field == field)
                times.push_back(s.at);
        return times;
    }

    sim::SimPlatform platform;
    std::shared_ptr<SpacePopoverViewModel> model;
    std::vector<Seen> seen;
    ObservationToken token;
};

} // namespace tidemark::testing
