#include "main/Commands.h"
#include "main/SystemReport.h"
#include "platform/linux/proc/ProcKernel.h"
#include "platform/sim/SimKernel.h"
#include "system/MemoryProvider.h"

#include <iostream>

namespace tidemark::cli {

int runMemory(Invocation call) {
    if (call.scenario) {
        sim::SimKernel kernel(*call.scenario);
        std::cout << memoryReport(MemoryProvider::systemMemory(kernel)).dump(2) << "\n";
        return kExitOk;
    }
    linux_proc::ProcKernel kernel;
    const auto memory = MemoryProvider::systemMemory(kernel);
    if (!call.flag("--json") && standardOutputIsTerminal())
        printMemoryTable(std::cout, memory);
    else
        std::cout << memoryReport(memory).dump(2) << "\n";
    return kExitOk;
}

} // namespace tidemark::cli
