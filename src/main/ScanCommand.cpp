#include "main/Commands.h"
#include "main/SystemReport.h"
#include "platform/linux/LiveSystem.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/sim/SimPlatform.h"
#include "system/ResidualProcessCleaner.h"

#include <iostream>

namespace tidemark::cli {

int runScan(Invocation call) {
    if (call.scenario) {
        sim::SimPlatform platform(std::move(*call.scenario));
        std::cout << scanReport(platform.cleaner.findResidualProcesses()).dump(2) << "\n";
        return kExitOk;
    }
    linux_platform::PollMainQueue mainQueue;
    linux_platform::LiveSystem live(mainQueue);
    ResidualProcessCleaner cleaner(live.kernel, live.windowServer(), live.workspace());
    const auto processes = cleaner.findResidualProcesses();
    if (!call.flag("--json") && standardOutputIsTerminal())
        printScanTable(std::cout, processes);
    else
        std::cout << scanReport(processes).dump(2) << "\n";
    return kExitOk;
}

} // namespace tidemark::cli
