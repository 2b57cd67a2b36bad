#include "main/SystemReport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tidemark::cli {
namespace {

TEST(SystemReport, TablesShowFormattedFiguresAndDashesForAbsentOnes) {
    const std::vector<ResidualProcess> processes{
        {7, "Helper", "Viewer", 1572864, 42, 3, 1},
        {8, "Sealed", "Viewer", std::nullopt, std::nullopt, std::nullopt, 2},
    };
    std::ostringstream scan;
    printScanTable(scan, processes);
    const auto text = scan.str();
    EXPECT_NE(text.find("Helper"), std::string::npos);
    EXPECT_NE(text.find("1.5 MB"), std::string::npos);
    EXPECT_NE(text.find("42"), std::string::npos);
    EXPECT_NE(text.find("-\n"), std::string::npos);
    EXPECT_NE(text.find("2 processes, 1.5 MB"), std::string::npos);

    std::ostringstream empty;
    printScanTable(empty, {});
    EXPECT_EQ(empty.str(), "No residual processes.\n");

    std::ostringstream memory;
    printMemoryTable(memory, {8589934592, 1048576, 0, 1048576, 0});
    EXPECT_NE(memory.str().find("Total"), std::string::npos);
    EXPECT_NE(memory.str().find("8 GB"), std::string::npos);
    EXPECT_NE(memory.str().find("8589934592 bytes"), std::string::npos);
}

} // namespace
} // namespace tidemark::cli
