// Live tests: real child processes read through /proc and ended through real signals.
#include "platform/linux/proc/ProcKernel.h"
#include "system/ProcessFacts.h"
#include "system/ScanWorld.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tidemark::testing {
namespace {

using namespace std::chrono_literals;
using linux_proc::ProcKernel;

// A child process in its own process group, ended and reaped when the test is done.
class Child {
public:
    Child(std::vector<std::string> argv, bool ignoreSigterm) {
        std::vector<char*> args;
        for (auto& arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        std::string mark = "TIDEMARK_MARK=live-test";
        char* environment[] = {mark.data(), nullptr};
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setpgid(0, 0);
            if (ignoreSigterm)
                ::signal(SIGTERM, SIG_IGN);
            ::execve(args[0], args.data(), environment);
            ::_exit(127);
        }
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(-pid_, SIGKILL);
            reap();
        }
    }

    pid_t pid() const { return pid_; }

    // Waits until the child runs `name` (the exec is done).
    bool waitForName(ProcKernel& kernel, const std::string& name) const {
        for (int i = 0; i < 200; ++i) {
            if (kernel.processName(pid_) == name)
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    bool waitForChild(ProcKernel& kernel) const {
        for (int i = 0; i < 200; ++i) {
            for (const auto pid : kernel.processIdentifiers().value_or(std::vector<std::int32_t>{}))
                if (kernel.parentProcessIdentifier(pid) == pid_)
                    return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    // The signal that ended the child, once it has ended; reaps it.
    std::optional<int> reap() {
        if (reaped_)
            return termSignal_;
        int status = 0;
        if (::waitpid(pid_, &status, 0) == pid_) {
            reaped_ = true;
            if (WIFSIGNALED(status))
                termSignal_ = WTERMSIG(status);
        }
        return termSignal_;
    }

    bool isRunning() const {
        int status = 0;
        return !reaped_ && ::waitpid(pid_, &status, WNOHANG) == 0;
    }

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    std::optional<int> termSignal_;
};

const std::string kSleep = std::filesystem::canonical("/bin/sleep").string();

ResidualProcess recordOf(ProcKernel& kernel, pid_t pid) {
    return ResidualProcess{pid, "sleep", "Test", {}, {}, {}, kernel.startTime(pid)};
}

// A cleaner over the real kernel, with no windows and the given running apps.
struct LiveCleaner {
    explicit LiveCleaner(const ScenarioBuilder& builder = ScenarioBuilder())
        : platform(builder.build()), cleaner(kernel, platform.windowServer, platform.workspace) {}

    ProcKernel kernel;
    sim::SimPlatform platform;
    ResidualProcessCleaner cleaner;
};

TEST(ProcKernelLive, ReadsWhatAChildProcessIs) {
    ProcKernel kernel;
    // A shell that stays a shell (a trailing command keeps it from exec'ing sleep), with
    // positional arguments that include text that is not UTF-8.
    Child child({"/bin/sh", "-c", "sleep 1000; exit 0", "arg0", "caf\xC3\xA9", "bad\xFF"}, false);
    ASSERT_TRUE(child.waitForName(kernel, "sh"));
    // The name changes part way through exec; once the shell has started its `sleep` it is
    // running, and its memory counters are worth comparing.
    ASSERT_TRUE(child.waitForChild(kernel));

    EXPECT_THAT(kernel.processIdentifiers().value(), ::testing::Contains(child.pid()));
    EXPECT_EQ(kernel.executablePath(child.pid()), std::filesystem::canonical("/bin/sh").string());
    EXPECT_EQ(kernel.parentProcessIdentifier(child.pid()), ::getpid());
    EXPECT_EQ(kernel.ownerUserId(child.pid()), std::int64_t(::getuid()));
    EXPECT_EQ(kernel.argumentText(child.pid()),
              "/bin/sh -c sleep 1000; exit 0 arg0 caf\xC3\xA9 bad\xEF\xBF\xBD "
              "TIDEMARK_MARK=live-test ");
    const auto started = kernel.startTime(child.pid());
    ASSERT_TRUE(started);
    EXPECT_EQ(kernel.startTime(child.pid()), started);
    EXPECT_GE(*started, kernel.startTime(::getpid()).value());
    const auto usage = kernel.processUsage(child.pid());
    ASSERT_TRUE(usage);
    EXPECT_GT(usage->physFootprint, 0u);
    // Both are the resident set, from two files the kernel fills at different moments.
    EXPECT_GT(kernel.taskRecord(child.pid()).value().residentSize, 0u);
    EXPECT_EQ(kernel.ownProcessIdentifier(), ::getpid());

    // Its ancestors lead through this test program.
    EXPECT_THAT(processAncestors(kernel, child.pid(), 10), ::testing::Contains(::getpid()));
}

TEST(ProcKernelLive, EndsAChildWithSigtermElseSigkillAndCountsIt) {
    for (const auto& [ignoresSigterm, endedBy] :
         {std::pair{false, SIGTERM}, std::pair{true, SIGKILL}}) {
        LiveCleaner live;
        Child child({kSleep, "1000"}, ignoresSigterm);
        ASSERT_TRUE(child.waitForName(live.kernel, "sleep"));
        EXPECT_EQ(live.cleaner.terminateProcesses({recordOf(live.kernel, child.pid())}), 1);
        EXPECT_EQ(child.reap(), endedBy) << (ignoresSigterm ? "ignores SIGTERM" : "polite");
    }
}

TEST(ProcKernelLive, LeavesAReplacedPidAndThisProgramAlone) {
    LiveCleaner live;
    Child child({kSleep, "1000"}, false);
    ASSERT_TRUE(child.waitForName(live.kernel, "sleep"));
    // The record of an earlier process that had this pid: another start time.
    auto earlier = recordOf(live.kernel, child.pid());
    ASSERT_TRUE(earlier.startTime);
    *earlier.startTime -= 1;
    const ResidualProcess self{
        ::getpid(), "me", "Me", {}, {}, {}, live.kernel.startTime(::getpid())};
    EXPECT_EQ(live.cleaner.terminateProcesses({earlier, self}), 0);
    EXPECT_TRUE(child.isRunning());
}

TEST(ProcKernelLive, NeverSignalsAThreadId) {
    // A child with a second thread, whose id /proc answers for as if it were a process.
    const pid_t child = ::fork();
    if (child == 0) {
        std::thread([] { ::pause(); }).detach();
        ::pause();
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    ProcKernel kernel;
    std::optional<std::int32_t> thread;
    for (int i = 0; i < 200 && !thread; ++i) {
        std::error_code error;
        const auto tasks = std::filesystem::path("/proc") / std::to_string(child) / "task";
        for (const auto& task : std::filesystem::directory_iterator(tasks, error))
            if (const auto id = std::stoi(task.path().filename().string()); id != child)
                thread = id;
        if (!thread)
            std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(thread);
    EXPECT_EQ(kernel.processOfTask(*thread), child);
    EXPECT_EQ(kernel.processOfTask(child), child);

    LiveCleaner live;
    const ResidualProcess record{*thread, "thread", "Test", {}, {}, {}, kernel.startTime(*thread)};
    ASSERT_TRUE(record.startTime);
    EXPECT_THAT(live.cleaner.terminate({record}),
                ::testing::ElementsAre(TerminationOutcome::Refused));
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the thread's signal ended its process";
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
}

TEST(ProcKernelLive, CountsAChildThatEndedBeforeTermination) {
    LiveCleaner live;
    Child child({kSleep, "1000"}, false);
    ASSERT_TRUE(child.waitForName(live.kernel, "sleep"));
    const auto record = recordOf(live.kernel, child.pid());
    ::kill(child.pid(), SIGKILL);
    child.reap();
    EXPECT_EQ(live.cleaner.terminateProcesses({record}), 1);
}

TEST(ProcKernelLive, ScanClaimsTheDescendantsOfAWindowlessApp) {
    ProcKernel probe;
    Child app({"/bin/sh", "-c", kSleep + " 1001 & " + kSleep + " 1002 & wait"}, false);
    ASSERT_TRUE(app.waitForName(probe, "sh"));
    // Wait for both sleeps to be started.
    std::vector<std::int32_t> children;
    for (int i = 0; i < 200 && children.size() < 2; ++i) {
        children.clear();
        // Keep the optional alive: ranging over a temporary's value() would dangle.
        const auto pids = probe.processIdentifiers();
        ASSERT_TRUE(pids);
        for (const auto pid : *pids)
            if (probe.parentProcessIdentifier(pid) == app.pid() &&
                probe.processName(pid) == "sleep")
                children.push_back(pid);
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(children.size(), 2u);

    ScenarioBuilder desktop;
    desktop.app(app.pid(), "org.example.LiveTest", "Live Test");
    LiveCleaner live(desktop);
    const auto found = live.cleaner.findResidualProcesses();
    std::vector<std::string> ours;
    for (const auto& process : found)
        if (process.id == app.pid() || process.id == children[0] || process.id == children[1])
            ours.push_back(process.name + " <" + process.parentApp + ">");
    EXPECT_THAT(ours, ::testing::UnorderedElementsAre("Live Test <Live Test>", "sleep <Live Test>",
                                                      "sleep <Live Test>"));
    // Nothing else on this machine may be claimed: the list is about to be terminated.
    ASSERT_EQ(found.size(), 3u);
    for (const auto& process : found) {
        EXPECT_TRUE(process.memoryBytes && process.cpuTimeMs && process.idleWakeups);
        EXPECT_TRUE(process.startTime);
    }
    EXPECT_EQ(live.cleaner.terminateProcesses(found), 3);
    EXPECT_EQ(app.reap(), SIGTERM);
}

} // namespace
} // namespace tidemark::testing
