#include "main/Commands.h"
#include "main/ScenarioLoading.h"
#include "main/SystemReport.h"
#include "platform/linux/proc/ProcKernel.h"
#include "platform/sim/SimKernel.h"
#include "system/MemoryProvider.h"

#include <iostream>

namespace tidemark::cli {

int runMemory(const Arguments& args) {
    if (auto unknown = args.unknownOption({"--scenario", "--json"})) {
        std::cerr << "tidemark memory: unknown option '" << *unknown << "'\n";
        return kExitUsage;
    }
    if (auto file = args.option("--scenario")) {
        auto scenario = loadScenarioOrReport(*file);
        if (!scenario)
            return kExitUsage;
        sim::SimKernel kernel(*scenario);
        std::cout << memoryReport(MemoryProvider::systemMemory(kernel)).dump(2) << "\n";
        return kExitOk;
    }
    linux_proc::ProcKernel kernel;
    const auto memory = MemoryProvider::systemMemory(kernel);
    if (!args.hasFlag("--json") && standardOutputIsTerminal())
        printMemoryTable(std::cout, memory);
    else
        std::cout << memoryReport(memory).dump(2) << "\n";
    return kExitOk;
}

} // namespace tidemark::cli
