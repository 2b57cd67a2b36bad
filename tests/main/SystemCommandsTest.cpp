#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tidemark::testing {
namespace {

TEST(SystemCommands, ScanAndMemoryPrintTheScenarioFigures) {
    const TemporaryDirectory dir;
    const auto file = writeFile(dir.path() / "system.json", R"({
      "self": {"pid": 40, "bundleIdentifier": "io.tidemark.Tidemark"},
      "apps": [{"pid": 501, "bundleIdentifier": "org.example.Viewer", "localizedName": "Viewer"}],
      "processes": [
        {"pid": 501, "name": "Viewer",
         "rusage": {"physFootprint": 524288000, "userTimeNs": 4000000000, "systemTimeNs": 1000000000, "idleWakeups": 12}},
        {"pid": 502, "ppid": 501, "name": "Viewer Worker"}
      ],
      "memory": {"physicalMemory": 17179869184, "pageSize": 16384,
                 "vmStatistics": {"wireCount": 100000, "compressorPageCount": 20000,
                                  "internalPageCount": 400000, "purgeableCount": 1000}}
    })");
    const auto scan = runTidemark({"scan", "--scenario", file, "--json"});
    EXPECT_EQ(scan.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(scan.out), nlohmann::json::parse(R"([
      {"id": 501, "name": "Viewer", "parentApp": "Viewer", "memoryBytes": 524288000,
       "cpuTimeMs": 5000, "idleWakeups": 12},
      {"id": 502, "name": "Viewer Worker", "parentApp": "Viewer", "memoryBytes": null,
       "cpuTimeMs": null, "idleWakeups": null}
    ])"));

    const auto memory = runTidemark({"memory", "--scenario", file, "--json"});
    EXPECT_EQ(memory.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(memory.out), nlohmann::json::parse(R"({
      "total": 17179869184, "used": 8503296000, "appMemory": 6537216000,
      "wired": 1638400000, "compressed": 327680000,
      "formatted": {"total": "16 GB", "used": "7.9 GB", "appMemory": "6.1 GB",
                    "wired": "1.5 GB", "compressed": "312 MB"}
    })"));

    // Without --json, the tables, on a terminal or not.
    const auto scanTable = runTidemark({"scan", "--scenario", file});
    EXPECT_EQ(scanTable.exitCode, 0);
    EXPECT_EQ(scanTable.out.rfind("PID ", 0), 0u) << scanTable.out;
    EXPECT_NE(scanTable.out.find("2 processes, 500 MB\n"), std::string::npos) << scanTable.out;
    const auto memoryTable = runTidemark({"memory", "--scenario", file});
    EXPECT_EQ(memoryTable.exitCode, 0);
    EXPECT_NE(memoryTable.out.find("\nUsed            7.9 GB "), std::string::npos)
        << memoryTable.out;
}

TEST(SystemCommands, ABrokenScenarioExitsWithOneLineNamingTheProblem) {
    const TemporaryDirectory dir;
    const auto file =
        writeFile(dir.path() / "broken.json", R"({"processes": [{"pid": 1, "nmae": "typo"}]})");
    for (const char* command : {"scan", "memory"}) {
        const auto run = runTidemark({command, "--scenario", file});
        EXPECT_EQ(run.exitCode, 2) << command;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("nmae"), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

TEST(SystemCommands, LiveOutputIsJsonWhenAsked) {
    const auto memory = runTidemark({"memory", "--json"});
    ASSERT_EQ(memory.exitCode, 0);
    const auto figures = nlohmann::json::parse(memory.out);
    EXPECT_GT(figures["total"].get<std::uint64_t>(), 0u);
    // Used as `free` counts it (what is not available) is no sum of the other figures.
    EXPECT_GT(figures["used"].get<std::uint64_t>(), 0u);
    EXPECT_LT(figures["used"].get<std::uint64_t>(), figures["total"].get<std::uint64_t>());
    const auto scan = runTidemark({"scan", "--json"});
    ASSERT_EQ(scan.exitCode, 0);
    EXPECT_TRUE(nlohmann::json::parse(scan.out).is_array());
    EXPECT_EQ(runTidemark({"scan", "--bogus"}).exitCode, 2);
}

} // namespace
} // namespace tidemark::testing
