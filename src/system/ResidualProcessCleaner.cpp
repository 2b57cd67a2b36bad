#include "system/ResidualProcessCleaner.h"

#include "foundation/Text.h"
#include "spaces/Space.h"
#include "system/BuildDaemons.h"
#include "system/BundleFamily.h"
#include "system/CaseFolding.h"
#include "system/DesktopShell.h"
#include "system/MemoryProvider.h"
#include "system/ProcessFacts.h"
#include "system/WindowOwners.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace tidemark {

namespace {

using namespace std::chrono_literals;

constexpr const char* kFinderBundleID = "com.apple.finder";
constexpr const char* kFallbackParentApp = "Application";
// This program's own ancestry is walked to the end, not only as far as attribution looks.
constexpr int kMaxOwnAncestry = 1024;

// "com.example.doc-viewer" → "Doc-Viewer": the name of an app that did not give one.
std::string nameFromBundleID(std::string_view loweredBundleID) {
    const auto dot = loweredBundleID.rfind('.');
    const auto last =
        dot == std::string_view::npos ? loweredBundleID : loweredBundleID.substr(dot + 1);
    return text::capitalized(last);
}

const PreparedPattern* firstPatternOfFamily(const std::vector<PreparedPattern>& patterns,
                                            std::string_view loweredBundleID) {
    for (const auto& pattern : patterns)
        if (pattern.hasInFamily(loweredBundleID))
            return &pattern;
    return nullptr;
}

ResidualProcess makeResidual(Kernel& kernel, std::int32_t pid,
                             std::optional<std::uint64_t> startTime, std::string name,
                             std::string parentApp) {
    ResidualProcess residual{pid, std::move(name), std::move(parentApp), {}, {}, {}, startTime};
    if (const auto stats = MemoryProvider::processStats(kernel, pid)) {
        residual.memoryBytes = stats->memoryBytes;
        residual.cpuTimeMs = stats->cpuTimeMs;
        residual.idleWakeups = stats->idleWakeups;
    }
    return residual;
}

// The working collections of one scan.
struct Scan {
    // This program and every process it runs under: ending one of them ends this program or
    // the session it was started from.
    std::unordered_set<std::int32_t> protectedPIDs;
    std::unordered_set<std::int32_t> windowOwnerPIDs;
    std::unordered_set<std::string> runningBundleIDs;
    std::unordered_set<std::string> windowedBundleIDs;
    std::unordered_map<std::string, RunningApplication> appsByBundleID;
    std::vector<PreparedPattern> activePatterns;
    // Lower-cased process name → the active patterns that list it, in table order.
    std::unordered_map<std::string, std::vector<const PreparedPattern*>> activePatternsByName;
    std::unordered_set<std::int32_t> seenPIDs;
    std::unordered_map<std::int32_t, std::string> appParentByPID;
    // In the order added, so that the first matching family is well defined.
    std::vector<std::string> addedBundleIDs;
    std::vector<ResidualProcess> results;
};

std::unordered_map<std::int32_t, RunningApplication>
appsByPID(const std::vector<RunningApplication>& apps) {
    std::unordered_map<std::int32_t, RunningApplication> byPID;
    for (const auto& app : apps)
        byPID.try_emplace(app.pid, app);
    return byPID;
}

} // namespace

ResidualProcessCleaner::ResidualProcessCleaner(Kernel& kernel, WindowServer& windowServer,
                                               Workspace& workspace)
    : kernel_(kernel), windowServer_(windowServer), workspace_(workspace) {}

bool ResidualProcessCleaner::isInstalled(const std::string& bundleID) {
    // The community edition stands in for IntelliJ IDEA.
    return workspace_.isApplicationInstalled(bundleID) ||
           (bundleID.find("jetbrains.intellij") != std::string::npos &&
            workspace_.isApplicationInstalled("com.jetbrains.intellij.ce"));
}

std::vector<ResidualProcess> ResidualProcessCleaner::findResidualProcesses() {
    Scan scan;
    scan.windowOwnerPIDs = windowOwnerPIDs(windowServer_.windows().get());

    // Which apps run, and which of them show a window themselves or through a helper.
    const auto runningApps = workspace_.runningApplications();
    for (const auto& app : runningApps) {
        if (!app.bundleIdentifier)
            continue;
        const std::string key = lowercased(*app.bundleIdentifier);
        scan.runningBundleIDs.insert(key);
        scan.appsByBundleID.insert_or_assign(key, app);
        if (scan.windowOwnerPIDs.contains(app.pid))
            scan.windowedBundleIDs.insert(key);
    }
    const auto runningByPID = appsByPID(runningApps);
    const auto bundleOf = [&](std::int32_t pid) -> std::optional<std::string> {
        const auto found = runningByPID.find(pid);
        if (found == runningByPID.end() || !found->second.bundleIdentifier)
            return std::nullopt;
        return lowercased(*found->second.bundleIdentifier);
    };
    for (const std::int32_t owner : scan.windowOwnerPIDs) {
        if (const auto key = bundleOf(owner))
            scan.windowedBundleIDs.insert(*key);
        for (const std::int32_t ancestor : processAncestors(kernel_, owner, kMaxAncestorSteps))
            if (const auto key = bundleOf(ancestor))
                scan.windowedBundleIDs.insert(*key);
    }

    // The patterns whose helpers are residual right now.
    for (const auto& pattern : knownPatterns()) {
        PreparedPattern prepared(pattern);
        const auto& ids = prepared.loweredBundleIDs;
        bool active;
        if (prepared.isAnyInFamily(scan.windowedBundleIDs))
            active = false; // the app is in use
        else if (std::any_of(ids.begin(), ids.end(),
                             [&](const auto& id) { return scan.runningBundleIDs.contains(id); }))
            active = pattern.cleanWhenWindowClosed;
        else
            active = isInstalled(pattern.parentBundleID) ||
                     std::any_of(pattern.otherBundleIDs.begin(), pattern.otherBundleIDs.end(),
                                 [&](const auto& id) { return isInstalled(id); });
        if (active)
            scan.activePatterns.push_back(std::move(prepared));
    }
    for (const auto& pattern : scan.activePatterns) {
        for (const auto& name : pattern.loweredProcessNames)
            scan.activePatternsByName[name].push_back(&pattern);
    }

    const auto ownBundle = workspace_.ownBundleIdentifier();
    const std::optional<std::string> ownKey =
        ownBundle ? std::optional<std::string>(lowercased(*ownBundle)) : std::nullopt;
    const std::int32_t ownPID = kernel_.ownProcessIdentifier();
    scan.protectedPIDs.insert(ownPID);
    for (const std::int32_t ancestor : processAncestors(kernel_, ownPID, kMaxOwnAncestry))
        scan.protectedPIDs.insert(ancestor);

    // Windowless apps.
    const auto appsNow = workspace_.runningApplications();
    for (const auto& app : appsNow) {
        if (app.terminated || !app.bundleIdentifier)
            continue;
        const std::string key = lowercased(*app.bundleIdentifier);
        if (key == ownKey || scan.protectedPIDs.contains(app.pid) || key == kFinderBundleID ||
            isDesktopShellName(key))
            continue;
        std::string name;
        std::string parentApp;
        if (const auto* pattern = firstPatternOfFamily(scan.activePatterns, key)) {
            if (scan.windowOwnerPIDs.contains(app.pid))
                continue;
            parentApp = pattern->pattern->parentApp;
            name = app.localizedName.value_or(parentApp);
        } else {
            if (app.activationPolicy != ActivationPolicy::Regular)
                continue;
            if (scan.windowOwnerPIDs.contains(app.pid) ||
                isInBundleFamily(key, scan.windowedBundleIDs))
                continue;
            name = app.localizedName.value_or(nameFromBundleID(key));
            parentApp = name;
        }
        if (scan.seenPIDs.contains(app.pid))
            continue;
        if (ProcessFacts process(kernel_, app.pid, kernel_.processName(app.pid).value_or(""),
                                 kMaxAncestorSteps);
            isDesktopShellProcess(process))
            continue;
        // A window may name a thread, or a pid that has passed to another process since its
        // owner was seen: neither is the app.
        if (const auto process = kernel_.processOfTask(app.pid); process && *process != app.pid)
            continue;
        const auto started = kernel_.startTime(app.pid);
        if (app.seenOwner && (!*app.seenOwner || started != *app.seenOwner))
            continue;
        scan.seenPIDs.insert(app.pid);
        scan.appParentByPID[app.pid] = parentApp;
        if (std::find(scan.addedBundleIDs.begin(), scan.addedBundleIDs.end(), key) ==
            scan.addedBundleIDs.end())
            scan.addedBundleIDs.push_back(key);
        scan.results.push_back(makeResidual(kernel_, app.pid, started, std::move(name), parentApp));
    }

    // Every other process: descendants of listed apps, their sub-apps, and helpers by name.
    const auto pids = kernel_.processIdentifiers();
    const auto appsNowByPID = appsByPID(appsNow);
    for (const std::int32_t pid : pids.value_or(std::vector<std::int32_t>{})) {
        if (pid < 1 || scan.seenPIDs.contains(pid) || scan.windowOwnerPIDs.contains(pid) ||
            scan.protectedPIDs.contains(pid))
            continue;
        auto name = kernel_.processName(pid);
        if (!name || name->empty())
            continue;
        ProcessFacts process(kernel_, pid, std::move(*name), kMaxAncestorSteps);
        if (isDesktopShellProcess(process))
            continue;
        std::optional<std::string> parentApp;

        if (!scan.appParentByPID.empty()) {
            for (const std::int32_t ancestor : process.ancestors()) {
                if (const auto found = scan.appParentByPID.find(ancestor);
                    found != scan.appParentByPID.end()) {
                    parentApp = found->second;
                    break;
                }
            }
        }
        if (!parentApp && !scan.addedBundleIDs.empty()) {
            const auto app = appsNowByPID.find(pid);
            if (app != appsNowByPID.end() && app->second.bundleIdentifier) {
                const std::string key = lowercased(*app->second.bundleIdentifier);
                const auto family =
                    std::find_if(scan.addedBundleIDs.begin(), scan.addedBundleIDs.end(),
                                 [&](const std::string& added) { return key.starts_with(added); });
                if (family != scan.addedBundleIDs.end()) {
                    if (const auto* pattern = firstPatternOfFamily(scan.activePatterns, key))
                        parentApp = pattern->pattern->parentApp;
                    else if (const auto owner = scan.appsByBundleID.find(*family);
                             owner != scan.appsByBundleID.end() && owner->second.localizedName)
                        parentApp = *owner->second.localizedName;
                    else
                        parentApp = app->second.localizedName.value_or(kFallbackParentApp);
                }
            }
        }
        // A program from an app's own folder is that app's, whatever its name.
        for (const auto& pattern : scan.activePatterns) {
            if (parentApp)
                break;
            if (runsFromExecutableFolder(process, pattern))
                parentApp = pattern.pattern->parentApp;
        }
        if (!parentApp && !scan.activePatterns.empty()) {
            const std::string loweredName = lowercased(process.name());
            if (const auto named = scan.activePatternsByName.find(loweredName);
                named != scan.activePatternsByName.end()) {
                const bool generic = isGenericProcessName(loweredName);
                for (const PreparedPattern* pattern : named->second) {
                    if (!generic ||
                        processMatchesPattern(process, *pattern, scan.windowedBundleIDs)) {
                        parentApp = pattern->pattern->parentApp;
                        break;
                    }
                }
            }
        }
        if (!parentApp)
            continue;
        scan.seenPIDs.insert(pid);
        scan.results.push_back(makeResidual(kernel_, pid, kernel_.startTime(pid),
                                            daemonDisplayName(process), std::move(*parentApp)));
    }

    std::stable_sort(scan.results.begin(), scan.results.end(),
                     [](const ResidualProcess& a, const ResidualProcess& b) {
                         const auto memoryA = a.memoryBytes.value_or(0);
                         const auto memoryB = b.memoryBytes.value_or(0);
                         if (memoryA != memoryB)
                             return memoryA > memoryB;
                         return a.cpuTimeMs.value_or(0) > b.cpuTimeMs.value_or(0);
                     });
    return std::move(scan.results);
}

std::uint64_t ResidualProcessCleaner::totalMemory(const std::vector<ResidualProcess>& processes) {
    std::uint64_t total = 0;
    for (const auto& process : processes)
        total += process.memoryBytes.value_or(0);
    return total;
}

} // namespace tidemark
