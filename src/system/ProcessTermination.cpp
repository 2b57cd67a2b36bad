#include "system/ResidualProcessCleaner.h"

#include <unordered_set>

namespace tidemark {

namespace {

using namespace std::chrono_literals;

constexpr auto kGracePeriod = 300ms;
constexpr auto kFirstKillWait = 50ms;
constexpr auto kSecondKillWait = 100ms;

// What a pid names now, compared with what the scan saw.
enum class Identity {
    Same,       // the scanned process, ours to signal
    Gone,       // no process has this pid any more
    Replaced,   // another process took the pid, or the scan could not tell them apart
    Untouchable // pid 0 or 1, this program, or another user's process
};

class Terminator {
public:
    Terminator(Kernel& kernel, Workspace& workspace)
        : kernel_(kernel), workspace_(workspace), ownPID_(kernel.ownProcessIdentifier()),
          ownUID_(kernel.ownUserId()) {
        for (const auto& app : workspace.runningApplications())
            appPIDs_.insert(app.pid);
    }

    Identity identify(const ResidualProcess& process) {
        if (process.id <= 1 || process.id == ownPID_)
            return Identity::Untouchable;
        const auto started = kernel_.startTime(process.id);
        if (!started)
            return Identity::Gone;
        if (!process.startTime || *started != *process.startTime)
            return Identity::Replaced;
        const auto owner = kernel_.ownerUserId(process.id);
        if (!owner)
            return kernel_.startTime(process.id) ? Identity::Untouchable : Identity::Gone;
        return *owner == ownUID_ ? Identity::Same : Identity::Untouchable;
    }

    // After a signal of ours reached it: the scanned process no longer runs under its pid.
    bool isGoneAfterSignal(const ResidualProcess& process) {
        const auto started = kernel_.startTime(process.id);
        return !started || *started != process.startTime;
    }

    bool isApp(std::int32_t pid) const { return appPIDs_.contains(pid); }

    void quitApp(const ResidualProcess& process, bool forced) {
        if (!isApp(process.id))
            return;
        if (forced)
            workspace_.forceTerminate(process.id);
        else
            workspace_.terminate(process.id);
    }

private:
    Kernel& kernel_;
    Workspace& workspace_;
    std::int32_t ownPID_;
    std::int64_t ownUID_;
    std::unordered_set<std::int32_t> appPIDs_;
};

} // namespace

int ResidualProcessCleaner::terminateProcesses(const std::vector<ResidualProcess>& processes) {
    Terminator terminator(kernel_, workspace_);
    int gone = 0;
    std::vector<const ResidualProcess*> pending;

    for (const auto& process : processes) {
        Identity identity = terminator.identify(process);
        if (identity == Identity::Same) {
            terminator.quitApp(process, false);
            // The polite quit may take a while; look again right before the signal.
            identity = terminator.identify(process);
        }
        if (identity == Identity::Gone) {
            ++gone;
            continue;
        }
        if (identity != Identity::Same)
            continue;
        if (kernel_.sendSignal(process.id, Signal::Terminate))
            pending.push_back(&process);
        else if (terminator.identify(process) == Identity::Gone)
            ++gone;
    }

    kernel_.sleepFor(kGracePeriod);

    for (const ResidualProcess* process : pending) {
        if (terminator.isGoneAfterSignal(*process)) {
            ++gone;
            continue;
        }
        if (terminator.identify(*process) != Identity::Same)
            continue;
        terminator.quitApp(*process, true);
        bool confirmed = false;
        for (const auto wait : {kFirstKillWait, kSecondKillWait}) {
            if (terminator.isGoneAfterSignal(*process)) {
                confirmed = true;
                break;
            }
            if (terminator.identify(*process) != Identity::Same)
                break;
            kernel_.sendSignal(process->id, Signal::Kill);
            kernel_.sleepFor(wait);
            if (terminator.isGoneAfterSignal(*process)) {
                confirmed = true;
                break;
            }
        }
        if (confirmed)
            ++gone;
    }
    return gone;
}

} // namespace tidemark
