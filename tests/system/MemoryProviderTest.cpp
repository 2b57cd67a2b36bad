#include "system/MemoryProvider.h"

#include "system/ScanWorld.h"

#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

using MemoryProvider::formatBytes;

constexpr std::uint64_t KiB = 1024;
constexpr std::uint64_t MiB = 1024 * KiB;
constexpr std::uint64_t GiB = 1024 * MiB;

TEST(FormatBytes, ChoosesTheUnitBeforeRounding) {
    EXPECT_EQ(formatBytes(0), "0 KB");
    EXPECT_EQ(formatBytes(1023), "1 KB");
    EXPECT_EQ(formatBytes(MiB - 1), "1024 KB");
    EXPECT_EQ(formatBytes(MiB), "1 MB");
    EXPECT_EQ(formatBytes(1'572'864), "1.5 MB");
    EXPECT_EQ(formatBytes(150 * MiB), "150 MB");
    EXPECT_EQ(formatBytes(99 * MiB + MiB / 2), "99.5 MB");
    EXPECT_EQ(formatBytes(GiB - 1), "1024 MB");
    EXPECT_EQ(formatBytes(std::uint64_t(9.96 * double(GiB))), "10.0 GB");
    EXPECT_EQ(formatBytes(std::uint64_t(12.4 * double(GiB))), "12 GB");
    EXPECT_EQ(formatBytes(8 * GiB), "8 GB");
    // Fractions below 100 MB keep one decimal even when it rounds to .0.
    EXPECT_EQ(formatBytes(49 * MiB + 1), "49.0 MB");
    EXPECT_EQ(formatBytes(2048 * GiB), "2048 GB");
}

TEST(FormatBytes, RoundsHalfToEvenAsPrintfDoes) {
    // Exact binary halves: printf rounds them to the even neighbour.
    EXPECT_EQ(formatBytes(2 * KiB + KiB / 2), "2 KB");
    EXPECT_EQ(formatBytes(3 * KiB + KiB / 2), "4 KB");
    EXPECT_EQ(formatBytes(512), "0 KB");
    EXPECT_EQ(formatBytes(100 * MiB + MiB / 2), "100 MB");
    EXPECT_EQ(formatBytes(101 * MiB + MiB / 2), "102 MB");
    EXPECT_EQ(formatBytes(GiB + GiB / 4), "1.2 GB");           // 1.25 → 1.2
    EXPECT_EQ(formatBytes(GiB + GiB / 4 + GiB / 2), "1.8 GB"); // 1.75 → 1.8
    EXPECT_EQ(formatBytes(10 * GiB + GiB / 2), "10 GB");
    EXPECT_EQ(formatBytes(11 * GiB + GiB / 2), "12 GB");
}

TEST(SystemMemory, ComputesFromPageCounts) {
    ScenarioBuilder s;
    s.root["memory"] = {{"physicalMemory", 17179869184},
                        {"pageSize", 16384},
                        {"vmStatistics",
                         {{"wireCount", 100000},
                          {"compressorPageCount", 20000},
                          {"internalPageCount", 400000},
                          {"purgeableCount", 1000}}}};
    ScanWorld world(s);
    const auto memory = MemoryProvider::systemMemory(world.kernel);
    EXPECT_EQ(memory.total, 17179869184u);
    constexpr std::uint64_t page = 16384;
    EXPECT_EQ(memory.wired, 100000 * page);
    EXPECT_EQ(memory.compressed, 20000 * page);
    EXPECT_EQ(memory.appMemory, 399000 * page);
    EXPECT_EQ(memory.used, (399000 + 100000 + 20000) * page);

    // More purgeable than internal pages: no app memory.
    s.root["memory"]["vmStatistics"]["purgeableCount"] = 500000;
    ScanWorld purgeable(s);
    const auto clamped = MemoryProvider::systemMemory(purgeable.kernel);
    EXPECT_EQ(clamped.appMemory, 0u);
    EXPECT_EQ(clamped.used, (100000 + 20000) * page);

    // A failed statistics call leaves only the total.
    s.root["memory"]["vmStatistics"] = nullptr;
    ScanWorld failed(s);
    EXPECT_EQ(MemoryProvider::systemMemory(failed.kernel),
              (MemoryProvider::SystemMemory{17179869184u, 0, 0, 0, 0}));
}

TEST(ProcessStats, PrefersTheUsageRecordAndFallsBackToTheTaskRecord) {
    ScenarioBuilder s;
    s.process(10, 1, "both",
              {{"rusage",
                {{"physFootprint", 5000},
                 {"userTimeNs", 2'999'999},
                 {"systemTimeNs", 1'000'000},
                 {"idleWakeups", 7}}},
               {"taskInfo", {{"residentSize", 9000}, {"userTimeNs", 0}, {"systemTimeNs", 0}}}})
        .process(11, 1, "other user",
                 {{"rusage", nullptr},
                  {"taskInfo",
                   {{"residentSize", 9000}, {"userTimeNs", 4'000'000}, {"systemTimeNs", 500'000}}}})
        .process(12, 1, "sealed", {{"rusage", nullptr}});
    ScanWorld world(s);
    using Stats = MemoryProvider::ProcessStats;
    EXPECT_EQ(MemoryProvider::processStats(world.kernel, 10), (Stats{5000, 3, 7}));
    EXPECT_EQ(MemoryProvider::processStats(world.kernel, 11), (Stats{9000, 4, 0}));
    EXPECT_EQ(MemoryProvider::processStats(world.kernel, 12), std::nullopt);
    EXPECT_EQ(MemoryProvider::processStats(world.kernel, 99), std::nullopt);
}

} // namespace
} // namespace tidemark::testing
