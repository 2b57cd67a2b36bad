#include "main/SystemReport.h"

#include "system/ResidualProcessCleaner.h"

#include <iomanip>

namespace tidemark::cli {

namespace {

nlohmann::ordered_json optionalNumber(const std::optional<std::uint64_t>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

struct MemoryField {
    const char* key;
    const char* label;
    std::uint64_t MemoryProvider::SystemMemory::*member;
};

constexpr MemoryField kMemoryFields[] = {
    {"total", "Total", &MemoryProvider::SystemMemory::total},
    {"used", "Used", &MemoryProvider::SystemMemory::used},
    {"appMemory", "App memory", &MemoryProvider::SystemMemory::appMemory},
    {"wired", "Wired", &MemoryProvider::SystemMemory::wired},
    {"compressed", "Compressed", &MemoryProvider::SystemMemory::compressed},
};

} // namespace

nlohmann::ordered_json scanReport(const std::vector<ResidualProcess>& processes) {
    auto list = nlohmann::ordered_json::array();
    for (const auto& process : processes) {
        nlohmann::ordered_json entry;
        entry["id"] = process.id;
        entry["name"] = process.name;
        entry["parentApp"] = process.parentApp;
        entry["memoryBytes"] = optionalNumber(process.memoryBytes);
        entry["cpuTimeMs"] = optionalNumber(process.cpuTimeMs);
        entry["idleWakeups"] = optionalNumber(process.idleWakeups);
        list.push_back(std::move(entry));
    }
    return list;
}

nlohmann::ordered_json memoryReport(const MemoryProvider::SystemMemory& memory) {
    nlohmann::ordered_json report;
    nlohmann::ordered_json formatted;
    for (const auto& field : kMemoryFields) {
        report[field.key] = memory.*field.member;
        formatted[field.key] = MemoryProvider::formatBytes(memory.*field.member);
    }
    report["formatted"] = std::move(formatted);
    return report;
}

void printScanTable(std::ostream& out, const std::vector<ResidualProcess>& processes) {
    if (processes.empty()) {
        out << "No residual processes.\n";
        return;
    }
    out << std::left << std::setw(8) << "PID" << std::setw(32) << "NAME" << std::setw(24) << "APP"
        << std::right << std::setw(10) << "MEMORY" << std::setw(12) << "CPU ms"
        << "\n";
    for (const auto& process : processes) {
        out << std::left << std::setw(8) << process.id << std::setw(32) << process.name
            << std::setw(24) << process.parentApp << std::right << std::setw(10)
            << (process.memoryBytes ? MemoryProvider::formatBytes(*process.memoryBytes) : "-")
            << std::setw(12)
            << (process.cpuTimeMs ? std::to_string(*process.cpuTimeMs) : std::string("-")) << "\n";
    }
    out << processes.size() << " processes, "
        << MemoryProvider::formatBytes(ResidualProcessCleaner::totalMemory(processes)) << "\n";
}

void printMemoryTable(std::ostream& out, const MemoryProvider::SystemMemory& memory) {
    for (const auto& field : kMemoryFields) {
        out << std::left << std::setw(12) << field.label << std::right << std::setw(10)
            << MemoryProvider::formatBytes(memory.*field.member) << std::setw(16)
            << memory.*field.member << " bytes\n";
    }
}

} // namespace tidemark::cli
