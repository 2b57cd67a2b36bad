#pragma once

#include "spaces/WindowServer.h"
#include "spaces/Workspace.h"
#include "system/Kernel.h"
#include "system/ProcessPattern.h"
#include "system/ResidualProcess.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

enum class TerminationOutcome {
    Refused,   // nothing was sent: not this user's, not the scanned process, or not a process
    Signalled, // a signal reached it, and it still runs
    Ended      // it is gone, through a signal of ours or on its own
};

// Finds the processes that closed or windowless apps left behind, and ends them.
//
// Runs on a background queue. From there it calls only: the window list and the
// spaces-of-windows function of the window server, and the running applications, installed
// check, own identifier and terminate requests of the workspace; adapters keep those safe to
// call from any thread. It keeps no state between calls apart from the one-time lookup of the
// spaces-of-windows function.
class ResidualProcessCleaner {
public:
    // Ancestor walks stop after this many steps.
    static constexpr int kMaxAncestorSteps = 10;

    ResidualProcessCleaner(Kernel& kernel, WindowServer& windowServer, Workspace& workspace);

    // The 38 known apps, in the order in which they get to claim a process.
    static const std::vector<ProcessPattern>& knownPatterns();
    // Names that many unrelated apps share; they never identify an app on their own.
    static const std::vector<std::string>& genericProcessNames();
    static bool isGenericProcessName(std::string_view name);

    // Sorted by memory, then CPU time, largest first; ties keep the order found. Never lists
    // this program, the processes it runs under, a thread, or an app whose pid no longer
    // names the process that owned its windows when they were seen.
    std::vector<ResidualProcess> findResidualProcesses();

    // Polite quit and SIGTERM, a pause, then forced quit and SIGKILL for survivors; one
    // outcome per given process, in order. A pid is signalled only while it still names the
    // scanned process and belongs to this user; pid 0, 1, threads and this program are never
    // signalled.
    std::vector<TerminationOutcome> terminate(const std::vector<ResidualProcess>& processes);
    // The same, counting the processes confirmed gone.
    int terminateProcesses(const std::vector<ResidualProcess>& processes);

    // Sum of the memory figures; absent figures count 0.
    static std::uint64_t totalMemory(const std::vector<ResidualProcess>& processes);

private:
    bool isInstalled(const std::string& bundleID);

    Kernel& kernel_;
    WindowServer& windowServer_;
    Workspace& workspace_;
};

} // namespace tidemark
