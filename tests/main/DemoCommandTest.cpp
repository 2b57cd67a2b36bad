#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using tidemark::testing::runTidemark;
using tidemark::testing::sourcePath;

namespace {

namespace fs = std::filesystem;

QImage picture(const fs::path& file) {
    return QImage(QString::fromStdString(file.string()));
}

// Mean lightness of the picture's pixels, 0 to 255.
int meanLightness(const QImage& image) {
    long long sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += image.pixelColor(x, y).lightness();
    return int(sum / (long long)(image.width() * image.height()));
}

TEST(DemoCommand, DrawsEveryStyleAndAppearanceAndTheWindowsAtTheirSizes) {
    const tidemark::testing::TemporaryDirectory temporary;
    const auto& out = temporary.path();
    const auto result =
        runTidemark({"demo", "--out", out.string(), "--scenario", sourcePath("examples/demo.json")},
                    {"QT_QPA_PLATFORM=offscreen"});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    // At two pixels a point: the menu item's view 220 × 110; the preferences 400 wide and as
    // high as their sections, well short of a screen.
    for (const char* name : {"about-light.png", "about-dark.png"})
        EXPECT_EQ(picture(out / name).size(), QSize(440, 220)) << name;
    for (const char* name : {"preferences-light.png", "preferences-dark.png"}) {
        const auto image = picture(out / name);
        EXPECT_EQ(image.width(), 800) << name;
        EXPECT_GT(image.height(), 2 * 300) << name;
        EXPECT_LT(image.height(), 2 * 540) << name;
    }
    EXPECT_GT(meanLightness(picture(out / "preferences-light.png")),
              meanLightness(picture(out / "preferences-dark.png")) + 80);

    const auto menu = picture(out / "menu-light.png");
    EXPECT_GE(menu.width(), 440);
    EXPECT_GT(menu.height(), 220 + 2 * 2 * 18) << "the about view, a separator and two items";

    int strips = 0;
    for (const char* style : {"rectangles", "numbers", "rectangles-with-numbers", "opened-apps"})
        for (const char* appearance : {"light", "dark"}) {
            const auto file = out / (std::string("strip-") + style + "-" + appearance + ".png");
            const auto image = picture(file);
            EXPECT_FALSE(image.isNull()) << file;
            EXPECT_GT(image.width(), image.height()) << file;
            strips += !image.isNull();
            EXPECT_NE(result.out.find(file.string()), std::string::npos);
        }
    EXPECT_EQ(strips, 8);

    // The panel, 280 points wide, in each state; the residual list makes it taller.
    for (const char* state :
         {"apps", "other-desktops", "residual-list", "cleaning", "cleaned", "nothing-found"})
        for (const char* appearance : {"light", "dark"}) {
            const auto file = out / (std::string("popover-") + state + "-" + appearance + ".png");
            EXPECT_EQ(picture(file).width(), 560) << file;
        }
    EXPECT_GT(picture(out / "popover-residual-list-light.png").height(),
              picture(out / "popover-apps-light.png").height() + 2 * 100);
    EXPECT_GT(meanLightness(picture(out / "popover-apps-light.png")),
              meanLightness(picture(out / "popover-apps-dark.png")) + 80);
}

TEST(DemoCommand, RefusesToGuessWhereThePicturesGo) {
    const auto result = runTidemark({"demo"}, {"QT_QPA_PLATFORM=offscreen"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tidemark demo: --out DIR is required\n");
}

} // namespace
