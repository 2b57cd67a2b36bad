#include "system/ProcessIdentity.h"
#include "system/ResidualProcessCleaner.h"

#include <algorithm>
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

std::vector<TerminationOutcome>
ResidualProcessCleaner::terminate(const std::vector<ResidualProcess>& processes) {
    using Outcome = TerminationOutcome;
    Terminator terminator(kernel_, workspace_);
    std::vector<Outcome> outcomes(processes.size(), Outcome::Refused);
    std::vector<std::size_t> pending;

    for (std::size_t i = 0; i < processes.size(); ++i) {
        const auto& process = processes[i];
        Identity identity = terminator.identify(process);
        if (identity == Identity::Same) {
            terminator.quitApp(process, false);
            // The polite quit may take a while; look again right before the signal.
            identity = terminator.identify(process);
        }
        if (identity == Identity::Gone) {
            outcomes[i] = Outcome::Ended;
            continue;
        }
        if (identity != Identity::Same)
            continue;
        if (kernel_.sendSignal(process.id, Signal::Terminate)) {
            outcomes[i] = Outcome::Signalled;
            pending.push_back(i);
        } else if (terminator.identify(process) == Identity::Gone) {
            outcomes[i] = Outcome::Ended;
        }
    }

    kernel_.sleepFor(kGracePeriod);

    for (const std::size_t i : pending) {
        const ResidualProcess* process = &processes[i];
        if (terminator.isGoneAfterSignal(*process)) {
            outcomes[i] = Outcome::Ended;
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
            outcomes[i] = Outcome::Ended;
    }
    return outcomes;
}

int ResidualProcessCleaner::terminateProcesses(const std::vector<ResidualProcess>& processes) {
    const auto outcomes = terminate(processes);
    return static_cast<int>(
        std::count(outcomes.begin(), outcomes.end(), TerminationOutcome::Ended));
}

} // namespace tidemark
