#include "main/Commands.h"
#include "main/SystemReport.h"
#include "platform/linux/proc/ProcKernel.h"
#include "platform/sim/SimKernel.h"
#include "system/MemoryProvider.h"

#include <iostream>

namespace tidemark::cli {

int runMemory(Invocation call) {
    MemoryProvider::SystemMemory memory;
    if (call.scenario) {
        sim::SimKernel kernel(*call.scenario);
        memory = MemoryProvider::systemMemory(kernel);
    } else {
        linux_proc::ProcKernel kernel;
        memory = MemoryProvider::systemMemory(kernel);
    }
    if (call.flag("--json"))
        std::cout << memoryReport(memory).dump(2) << "\n";
    else
        printMemoryTable(std::cout, memory);
    return kExitOk;
}

} // namespace tidemark::cli
