// The residual scan: live over /proc next to `ps` reading the same table, and over a
// simulated table of 5,000 processes.
#include "platform/linux/LiveSystem.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/linux/proc/ProcKernel.h"
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimPlatform.h"
#include "system/ResidualProcessCleaner.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tidemark {
namespace {

// Every known app installed, none running: every pattern is active, the most work a scan does.
sim::Scenario everyPatternActive() {
    sim::Scenario scenario;
    for (const auto& pattern : ResidualProcessCleaner::knownPatterns())
        scenario.installedBundleIDs.push_back(pattern.parentBundleID);
    return scenario;
}

void BM_LiveScan(benchmark::State& state) {
    linux_platform::PollMainQueue mainQueue;
    linux_platform::LiveSystem live(mainQueue);
    ResidualProcessCleaner cleaner(live.kernel, live.windowServer(), live.workspace());
    for (auto _ : state)
        benchmark::DoNotOptimize(cleaner.findResidualProcesses());
}
BENCHMARK(BM_LiveScan)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LiveScanEveryPatternActive(benchmark::State& state) {
    linux_proc::ProcKernel kernel;
    sim::SimPlatform platform(everyPatternActive());
    ResidualProcessCleaner cleaner(kernel, platform.windowServer, platform.workspace);
    for (auto _ : state)
        benchmark::DoNotOptimize(cleaner.findResidualProcesses());
}
BENCHMARK(BM_LiveScanEveryPatternActive)->Unit(benchmark::kMillisecond)->UseRealTime();

// What `ps -eo pid,ppid,comm,rss,args` reads, through the kernel adapter.
void BM_LiveProcessTable(benchmark::State& state) {
    linux_proc::ProcKernel kernel;
    std::size_t processes = 0;
    for (auto _ : state) {
        const auto pids = kernel.processIdentifiers().value_or(std::vector<std::int32_t>{});
        processes = pids.size();
        for (const auto pid : pids) {
            benchmark::DoNotOptimize(kernel.parentProcessIdentifier(pid));
            benchmark::DoNotOptimize(kernel.processName(pid));
            benchmark::DoNotOptimize(kernel.taskRecord(pid));
            benchmark::DoNotOptimize(kernel.argumentText(pid));
        }
    }
    state.counters["processes"] = double(processes);
}
BENCHMARK(BM_LiveProcessTable)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Ps(benchmark::State& state) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>("ps"), const_cast<char*>("-eo"),
                    const_cast<char*>("pid,ppid,comm,rss,args"), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "ps", &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("ps cannot be started");
            break;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}
BENCHMARK(BM_Ps)->Unit(benchmark::kMillisecond)->UseRealTime();

// 5,000 processes: 40 windowless apps with helper trees, a windowed browser family, build
// daemons, crash handlers and unrelated system processes, every pattern active.
sim::Scenario fiveThousandProcesses() {
    nlohmann::json root;
    root["self"] = {{"pid", 2}, {"bundleIdentifier", "io.tidemark.Tidemark"}};
    root["installedBundleIDs"] = nlohmann::json::array();
    for (const auto& pattern : ResidualProcessCleaner::knownPatterns())
        root["installedBundleIDs"].push_back(pattern.parentBundleID);
    root["windows"] = nlohmann::json::array();
    root["apps"] = nlohmann::json::array();
    root["processes"] = nlohmann::json::array();
    auto& processes = root["processes"];
    const auto add = [&](int pid, int ppid, const std::string& name, nlohmann::json extra) {
        nlohmann::json entry = {{"pid", pid},
                                {"ppid", ppid},
                                {"name", name},
                                {"startTime", pid},
                                {"rusage",
                                 {{"physFootprint", (pid * 7919) % 500'000'000},
                                  {"userTimeNs", pid * 1000},
                                  {"systemTimeNs", 0},
                                  {"idleWakeups", pid % 13}}}};
        for (auto& [key, value] : extra.items())
            entry[key] = value;
        processes.push_back(std::move(entry));
    };
    int pid = 100;
    for (int app = 0; app < 40; ++app) {
        const int appPID = pid++;
        root["apps"].push_back({{"pid", appPID},
                                {"bundleIdentifier", "org.example.app" + std::to_string(app)},
                                {"localizedName", "App " + std::to_string(app)}});
        add(appPID, 1, "App " + std::to_string(app), nlohmann::json::object());
        for (int helper = 0; helper < 20; ++helper)
            add(pid++, appPID, "App Helper", nlohmann::json::object());
    }
    // A windowed browser family: nothing of it is claimed.
    root["apps"].push_back({{"pid", pid}, {"bundleIdentifier", "com.vivaldi.Vivaldi"}});
    root["windows"].push_back({{"kCGWindowLayer", 0},
                               {"kCGWindowBounds", {{"Width", 800.0}, {"Height", 600.0}}},
                               {"kCGWindowNumber", 1},
                               {"kCGWindowOwnerPID", pid},
                               {"spaces", {1}}});
    const int browser = pid;
    add(pid++, 1, "Vivaldi", nlohmann::json::object());
    for (int helper = 0; helper < 200; ++helper)
        add(pid++, browser, "Vivaldi Helper", nlohmann::json::object());
    // Generic names that need paths and arguments.
    for (int i = 0; i < 100; ++i) {
        add(pid++, 1, "java",
            {{"args", "java -cp /opt/gradle/lib/x.jar org.gradle.launcher.daemon.bootstrap."
                      "GradleDaemon"}});
        add(pid++, 1, "crashpad_handler",
            {{"path", "/usr/lib/other/crashpad_handler"}, {"args", "crashpad --database=/tmp"}});
        add(pid++, 1, "electron", {{"path", "/opt/Obsidian/electron"}});
    }
    // Unrelated system processes, some in deep chains.
    int parent = 1;
    while (processes.size() < 5000) {
        add(pid, parent, "worker" + std::to_string(pid % 97), nlohmann::json::object());
        parent = (pid % 10 == 0) ? 1 : pid;
        ++pid;
    }
    return sim::parseScenario(root.dump(), "bench");
}

void BM_SimScan5000(benchmark::State& state) {
    sim::SimPlatform platform(fiveThousandProcesses());
    sim::SimKernel kernel(platform.scenario);
    ResidualProcessCleaner cleaner(kernel, platform.windowServer, platform.workspace);
    std::size_t found = 0;
    for (auto _ : state)
        found = cleaner.findResidualProcesses().size();
    state.counters["found"] = double(found);
}
BENCHMARK(BM_SimScan5000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tidemark
