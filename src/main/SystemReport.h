#pragma once

#include "system/MemoryProvider.h"
#include "system/ResidualProcess.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

namespace tidemark::cli {

// The JSON documents of `tidemark scan` and `tidemark memory`, and their tables.
nlohmann::ordered_json scanReport(const std::vector<ResidualProcess>& processes);
nlohmann::ordered_json memoryReport(const MemoryProvider::SystemMemory& memory);

void printScanTable(std::ostream& out, const std::vector<ResidualProcess>& processes);
void printMemoryTable(std::ostream& out, const MemoryProvider::SystemMemory& memory);

} // namespace tidemark::cli
