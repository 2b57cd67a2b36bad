#include "main/Commands.h"
#include "main/SystemReport.h"
#include "platform/linux/LiveSystem.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/sim/SimPlatform.h"
#include "system/ResidualProcessCleaner.h"

#include <iostream>

namespace tidemark::cli {

namespace {

std::vector<ResidualProcess> scanOf(Invocation& call) {
    if (call.scenario) {
        sim::SimPlatform platform(std::move(*call.scenario));
        return platform.cleaner.findResidualProcesses();
    }
    linux_platform::PollMainQueue mainQueue;
    linux_platform::LiveSystem live(mainQueue);
    ResidualProcessCleaner cleaner(live.kernel, live.windowServer(), live.workspace());
    return cleaner.findResidualProcesses();
}

} // namespace

int runScan(Invocation call) {
    const auto processes = scanOf(call);
    if (call.flag("--json"))
        std::cout << scanReport(processes).dump(2) << "\n";
    else
        printScanTable(std::cout, processes);
    return kExitOk;
}

} // namespace tidemark::cli
