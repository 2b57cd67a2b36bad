#include "platform/linux/proc/ProcKernel.h"

#include "platform/linux/proc/ProcFiles.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "system/MemoryProvider.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tidemark::linux_proc {
namespace {

namespace fs = std::filesystem;

TEST(ProcFiles, ParsesStatLinesWhoseNameHoldsParenthesesAndSpaces) {
    const std::string line = "4242 (my (odd) name) S 17 4242 4242 0 -1 4194560 100 0 0 0 "
                             "250 75 0 0 20 0 1 0 98765 1234567 321 18446744073709551615\n";
    const auto fields = parseStat(line);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->state, 'S');
    EXPECT_EQ(fields->ppid, 17);
    EXPECT_EQ(fields->userTicks, 250u);
    EXPECT_EQ(fields->systemTicks, 75u);
    EXPECT_EQ(fields->startTicks, 98765u);
    EXPECT_EQ(fields->residentPages, 321u);
    EXPECT_FALSE(parseStat("4242 (cut) S 17 4242"));
    EXPECT_FALSE(parseStat("no parenthesis at all"));
    EXPECT_FALSE(parseStat("1 (x) S notanumber 1 1 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0 5 1 1"));
}

TEST(ProcFiles, ReadsKeyedNumbers) {
    const std::string status = "Name:\tbash\nUid:\t1000\t1000\t1000\t1000\nRssAnon:\t    2048 kB\n"
                               "RssAnonymous:\t 9 kB\nvoluntary_ctxt_switches:\t77\n";
    EXPECT_EQ(keyedNumber(status, "Uid"), 1000u);
    EXPECT_EQ(keyedNumber(status, "RssAnon"), 2048u);
    EXPECT_EQ(keyedNumber(status, "voluntary_ctxt_switches"), 77u);
    EXPECT_EQ(keyedNumber(status, "VmSwap"), std::nullopt);
    EXPECT_EQ(keyedNumber(status, "Name"), std::nullopt);
}

TEST(ProcFiles, SanitizesUntrustedText) {
    EXPECT_EQ(sanitizedText("plain", 3), "pla");
    EXPECT_EQ(sanitizedText("caf\xC3\xA9", 100), "caf\xC3\xA9");
    EXPECT_EQ(sanitizedText("bad\xFF", 100), "bad\xEF\xBF\xBD");
    // Never cuts inside a character.
    EXPECT_EQ(sanitizedText("ab\xC3\xA9", 3), "ab");
}

// A prepared /proc and /sys tree.
class FakeProc : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root_ / "proc");
        fs::create_directories(root_ / "sys/block");
    }
    void write(const fs::path& relative, const std::string& content) {
        testing::writeFile(root_ / relative, content);
    }
    ProcKernel kernel() { return ProcKernel(root_ / "proc", root_ / "sys"); }

    const testing::TemporaryDirectory folder_;
    const fs::path& root_ = folder_.path();
};

TEST_F(FakeProc, MapsMeminfoOntoTheVirtualMemoryFigures) {
    write("proc/meminfo", "MemTotal:       16384000 kB\nMemFree:  100 kB\n"
                          "MemAvailable:  9000000 kB\nAnonPages:  4096000 kB\n"
                          "Shmem:  999 kB\nKernelStack: 1000 kB\nPageTables: 2000 kB\n"
                          "SecPageTables: 0 kB\nPercpu: 96 kB\nSUnreclaim: 4000 kB\n"
                          "Unevictable: 904 kB\nZswap: 400 kB\n");
    write("sys/block/zram0/mm_stat", "  8192000  2048000  3072000  0 3072000 0 0 0 0\n");
    write("sys/block/vda/stat", "irrelevant");
    auto procKernel = kernel();
    const std::uint64_t page = procKernel.pageSize();
    const auto statistics = procKernel.vmStatistics();
    ASSERT_TRUE(statistics);
    EXPECT_EQ(statistics->internalPageCount, 4096000ull * 1024 / page);
    EXPECT_EQ(statistics->wireCount, 8000ull * 1024 / page);
    EXPECT_EQ(statistics->compressorPageCount, 400ull * 1024 / page + 3072000 / page);
    EXPECT_EQ(statistics->purgeableCount, 0u);
    const auto memory = MemoryProvider::systemMemory(procKernel);
    EXPECT_EQ(memory.total, 16384000ull * 1024);
    EXPECT_EQ(memory.appMemory, 4096000ull * 1024);
    // Used as `free` counts it: what is not available.
    EXPECT_EQ(memory.used, (16384000ull - 9000000) * 1024);
}

TEST_F(FakeProc, WithoutMeminfoThereAreNoStatistics) {
    auto procKernel = kernel();
    EXPECT_EQ(procKernel.vmStatistics(), std::nullopt);
    // The total still comes from sysinfo.
    EXPECT_GT(procKernel.physicalMemory(), 0u);
}

TEST_F(FakeProc, ReadsOneProcessFromItsFiles) {
    const std::uint64_t ticks = std::uint64_t(::sysconf(_SC_CLK_TCK));
    write("proc/321/stat", "321 (Helper) S 300 321 321 0 -1 0 0 0 0 0 " +
                               std::to_string(ticks * 2) + " " + std::to_string(ticks / 2) +
                               " 0 0 20 0 1 0 5555 100000 25 0\n");
    write("proc/321/status", "Name:\tHelper\nTgid:\t321\nUid:\t1000\t1000\t1000\t1000\n"
                             "VmRSS:\t 700 kB\nRssAnon:\t 300 kB\nVmSwap:\t 20 kB\n"
                             "voluntary_ctxt_switches:\t42\n");
    write("proc/321/comm", "Helper \xFF\n");
    write("proc/321/cmdline", std::string("/opt/App/helper\0--type=gpu\0", 27));
    write("proc/321/environ", std::string("LANG=C\0HOME=/home/u\0", 20));
    write("proc/322/stat", "322 (gone) Z 1 322 322 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 7 0 0 0\n");
    write("proc/323/stat", "");
    write("proc/323/cmdline", "");
    write("proc/self/stat", "not a pid directory");

    auto procKernel = kernel();
    auto pids = procKernel.processIdentifiers().value();
    std::sort(pids.begin(), pids.end());
    EXPECT_EQ(pids, (std::vector<std::int32_t>{321, 322, 323}));

    EXPECT_EQ(procKernel.processName(321), "Helper \xEF\xBF\xBD");
    EXPECT_EQ(procKernel.parentProcessIdentifier(321), 300);
    EXPECT_EQ(procKernel.ownerUserId(321), 1000);
    EXPECT_EQ(procKernel.startTime(321), 5555u);
    // Another thread of 321 (which /proc answers for but does not list).
    write("proc/325/status", "Name:\tHelper\nTgid:\t321\nPid:\t325\n");
    EXPECT_EQ(procKernel.processOfTask(321), 321);
    EXPECT_EQ(procKernel.processOfTask(325), 321);
    EXPECT_EQ(procKernel.processOfTask(324), std::nullopt);
    EXPECT_EQ(procKernel.argumentText(321), "/opt/App/helper --type=gpu LANG=C HOME=/home/u ");

    const auto usage = procKernel.processUsage(321);
    ASSERT_TRUE(usage);
    EXPECT_EQ(usage->physFootprint, 700u * 1024);
    EXPECT_EQ(usage->userTimeNs, 2'000'000'000u);
    EXPECT_EQ(usage->systemTimeNs, 500'000'000u);
    EXPECT_EQ(usage->idleWakeups, 42u);
    const auto task = procKernel.taskRecord(321);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->residentSize, 25 * procKernel.pageSize());

    // Ended (not yet reaped), unreadable and missing processes answer nothing.
    EXPECT_EQ(procKernel.startTime(322), std::nullopt);
    EXPECT_EQ(procKernel.parentProcessIdentifier(323), std::nullopt);
    EXPECT_EQ(procKernel.argumentText(323), std::nullopt);
    EXPECT_EQ(procKernel.processUsage(324), std::nullopt);
    EXPECT_EQ(procKernel.processName(324), std::nullopt);
    EXPECT_EQ(procKernel.executablePath(324), std::nullopt);
    EXPECT_EQ(MemoryProvider::processStats(procKernel, 324), std::nullopt);
}

TEST_F(FakeProc, CompletesNamesTheKernelCut) {
    write("proc/7/comm", "chrome_crashpad\n");
    write("proc/7/cmdline", std::string("/opt/google/chrome/chrome_crashpad_handler\0--x\0", 47));
    write("proc/8/comm", "averyverylongna\n");
    write("proc/8/cmdline", std::string("/usr/bin/python3\0averyverylongname.py\0", 38));
    write("proc/9/comm", "short\n");
    write("proc/9/cmdline", std::string("/usr/bin/shortened\0", 19));
    auto procKernel = kernel();
    EXPECT_EQ(procKernel.processName(7), "chrome_crashpad_handler");
    EXPECT_EQ(procKernel.processName(8), "averyverylongna");
    EXPECT_EQ(procKernel.processName(9), "short");
    // A program that rewrote its argv[0] is still known by the file it runs.
    write("proc/10/comm", "chrome_crashpad\n");
    write("proc/10/cmdline", std::string("crashpad\0--x\0", 13));
    fs::create_symlink("/opt/google/chrome/chrome_crashpad_handler (deleted)",
                       root_ / "proc/10/exe");
    EXPECT_EQ(procKernel.processName(10), "chrome_crashpad_handler");
}

TEST_F(FakeProc, BoundsTheArgumentText) {
    write("proc/5/cmdline", std::string(ProcKernel::kMaxArgumentBytes + 100, 'a'));
    write("proc/5/environ", "SECRET=never-read");
    const auto text = kernel().argumentText(5);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), ProcKernel::kMaxArgumentBytes);
    EXPECT_EQ(text->find("SECRET"), std::string::npos);
}

} // namespace
} // namespace tidemark::linux_proc
