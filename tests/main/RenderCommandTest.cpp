#include "main/drawing/StripRendering.h"
#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <QImage>
#include <QString>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using tidemark::testing::readFile;
using tidemark::testing::runTidemark;
using tidemark::testing::sourcePath;
using tidemark::testing::TemporaryDirectory;
using tidemark::testing::writeFile;

namespace {

// Four desktops on one display, the first current, in the numbers style.
constexpr const char* kFourNumbers = R"({
  "settings": {"displayStyle": 1},
  "displays": [{"Display Identifier": "Main", "Current Space": {"ManagedSpaceID": 5},
                "Spaces": [{"ManagedSpaceID": 5}, {"ManagedSpaceID": 6},
                           {"ManagedSpaceID": 7}, {"ManagedSpaceID": 8}]}]
})";

} // namespace

TEST(RenderCommand, PrintsTheLayoutAndWritesThePixels) {
    const TemporaryDirectory dir;
    const auto scenario = writeFile(dir.path() / "four.json", kFourNumbers);
    const auto png = (dir.path() / "four.png").string();
    const auto result =
        runTidemark({"render", "--scenario", scenario, "--out", png, "--scale", "2"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["width"], 79.5);
    EXPECT_EQ(json["height"], 12.0);
    EXPECT_EQ(json["template"], true);
    EXPECT_EQ(json["displayCount"], 1);
    EXPECT_EQ(json["rects"]["7"], nlohmann::json::parse("[41.0, 0.0, 18.0, 12.0]"));
    EXPECT_EQ(json["rects"].size(), 4u);

    const QImage pixels(QString::fromStdString(png));
    ASSERT_FALSE(pixels.isNull());
    EXPECT_EQ(pixels.width(), 159);
    EXPECT_EQ(pixels.height(), 24);
    // Light appearance: the current number is dark and opaque somewhere in its glyph.
    int darkest = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 36; ++x)
            darkest = std::max(darkest, pixels.pixelColor(x, y).alpha());
    EXPECT_GE(darkest, 250);
}

TEST(RenderCommand, OpenedAppsOfTheExampleStrip) {
    const TemporaryDirectory dir;
    const auto png = (dir.path() / "strip.png").string();
    const auto result =
        runTidemark({"render", "--scenario", sourcePath("examples/icon-strip.json"), "--out", png});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["template"], false);
    EXPECT_EQ(json["displayCount"], 2);
    EXPECT_EQ(json["width"], 204.7);
    EXPECT_EQ(json["rects"]["12"], nlohmann::json::parse("[139.8, 0.0, 31.2, 21.6]"));
    const QImage pixels(QString::fromStdString(png));
    EXPECT_EQ(pixels.width(), 205);
    EXPECT_EQ(pixels.height(), 22);
    // The current space of the first display is filled with the light default green.
    EXPECT_NEAR(pixels.pixelColor(3, 11).alpha(), 128, 4);
    // Space 4 has one app: its icon, opaque, fills the middle of the slot.
    EXPECT_EQ(pixels.pixelColor(116, 10).alpha(), 255);
}

TEST(RenderCommand, RefusesBadArguments) {
    const TemporaryDirectory dir;
    const auto scenario = writeFile(dir.path() / "four.json", kFourNumbers);
    const auto png = (dir.path() / "strip.png").string();
    EXPECT_EQ(runTidemark({"render", "--scenario", scenario}).exitCode, 2);
    for (const char* scale : {"0", "-1", "abc", "1e9", "nan"}) {
        const auto result =
            runTidemark({"render", "--scenario", scenario, "--out", png, "--scale", scale});
        EXPECT_EQ(result.exitCode, 2) << scale;
        EXPECT_NE(result.err.find("--scale"), std::string::npos);
    }
    const auto missing =
        runTidemark({"render", "--scenario", "/nonexistent/scenario.json", "--out", png});
    EXPECT_EQ(missing.exitCode, 2);
    const auto unwritable =
        runTidemark({"render", "--scenario", scenario, "--out", "/nonexistent/dir/strip.png"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("No such file or directory"), std::string::npos)
        << unwritable.err;
}

TEST(RenderCommand, AnImageTheEncoderRefusesLeavesTheOldFileAndSaysWhy) {
    const TemporaryDirectory dir;
    const auto png = writeFile(dir.path() / "kept.png", "old contents");
    // Wider than the PNG library accepts, yet small in memory.
    QImage tooWide(1'000'001, 1, QImage::Format_ARGB32_Premultiplied);
    tooWide.fill(Qt::red);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(tidemark::cli::writePng(tooWide, png, "render"));
    const auto error = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(error.find("1000001x1"), std::string::npos) << error;
    EXPECT_EQ(readFile(png), "old contents");
}

TEST(RenderCommand, AnEmptySnapshotIsZeroWide) {
    const TemporaryDirectory dir;
    const auto scenario = writeFile(dir.path() / "empty.json", R"({"displays": []})");
    const auto png = (dir.path() / "empty.png").string();
    const auto result = runTidemark({"render", "--scenario", scenario, "--out", png});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["width"], 0.0);
    EXPECT_TRUE(json["rects"].empty());
    EXPECT_TRUE(std::filesystem::exists(png));
}

TEST(ContactSheetCommand, DrawsSixteenRowsOfTwoBars) {
    const TemporaryDirectory dir;
    const auto png = (dir.path() / "sheet.png").string();
    const auto result = runTidemark(
        {"contact-sheet", "--scenario", sourcePath("examples/icon-strip.json"), "--out", png});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QImage sheet(QString::fromStdString(png));
    ASSERT_FALSE(sheet.isNull());
    // Label column, two cells as wide as the widest strip (205 px) plus padding.
    EXPECT_EQ(sheet.width(), 240 + 2 * (205 + 12) + 12);
    EXPECT_GT(sheet.height(), 16 * 22);
    EXPECT_EQ(runTidemark({"contact-sheet", "--out", png}).exitCode, 2);
}
