#include "system/ProcessIdentity.h"
#include "system/ResidualProcessCleaner.h"

#include <unordered_set>

namespace tidemark {

namespace {

using Identity = ProcessIdentity;
using namespace std::chrono_literals;

constexpr auto kGracePeriod = 300ms;
constexpr auto kFirstKillWait = 50ms;
constexpr auto kSecondKillWait = 100ms;

class Terminator {
public:
    Terminator(Kernel& kernel, Workspace& workspace) : kernel_(kernel), workspace_(workspace) {
        for (const auto& app : workspace.runningApplications())
            appPIDs_.insert(app.pid);
    }

    Identity identify(const ResidualProcess& process) {
        return identifyProcess(kernel_, process.id, process.startTime);
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
