#include "icon/OpenedApps.h"

#include "foundation/SettingsStore.h"
#include "icon/ArtworkCatalog.h"
#include "icon/IconCreator.h"
#include "icon/IconTestSupport.h"
#include "icon/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

using testing::expectRect;
using testing::icons;
using testing::kTolerance;
using testing::makeSpace;
using Kind = DrawCall::Kind;

const Rect kSlot{10, 0, 31.2, 21.6};

TEST(OpenedAppsCellsTest, RowsGridAndOverflow) {
    const OpenedAppsParameters parameters;
    EXPECT_TRUE(iconCells(kSlot, 0, parameters).icons.empty());

    const auto one = iconCells(kSlot, 1, parameters);
    ASSERT_EQ(one.icons.size(), 1u);
    expectRect(one.icons[0], {10 + 5.6, 0.8, 20, 20});
    EXPECT_FALSE(one.overflow);

    // 20 + 1 + 20 does not fit 31.2 − 2: both shrink by f = 29.2 / 41.
    const double f = 29.2 / 41;
    const auto two = iconCells(kSlot, 2, parameters);
    ASSERT_EQ(two.icons.size(), 2u);
    expectRect(two.icons[0], {11, (21.6 - 20 * f) / 2, 20 * f, 20 * f});
    expectRect(two.icons[1], {11 + 20 * f + f, (21.6 - 20 * f) / 2, 20 * f, 20 * f});
    EXPECT_NEAR(two.icons[0].width(), 14.24, kTolerance);
    EXPECT_NEAR(two.icons[1].minX() - two.icons[0].maxX(), 0.71, kTolerance);

    // The 2 × 2 grid: cells of 9.3, grid edge 19.6, centred in the slot.
    const double ox = 10 + (31.2 - 19.6) / 2;
    const double oy = (21.6 - 19.6) / 2;
    const Rect grid[] = {{ox, oy + 10.3, 9.3, 9.3},
                         {ox + 10.3, oy + 10.3, 9.3, 9.3},
                         {ox, oy, 9.3, 9.3},
                         {ox + 10.3, oy, 9.3, 9.3}};
    const auto three = iconCells(kSlot, 3, parameters);
    ASSERT_EQ(three.icons.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        expectRect(three.icons[i], grid[i]);
    EXPECT_FALSE(three.overflow);

    const auto four = iconCells(kSlot, 4, parameters);
    ASSERT_EQ(four.icons.size(), 4u);
    expectRect(four.icons[3], grid[3]);
    EXPECT_FALSE(four.overflow);

    const auto many = iconCells(kSlot, 9, parameters);
    ASSERT_EQ(many.icons.size(), 3u);
    ASSERT_TRUE(many.overflow);
    expectRect(*many.overflow, grid[3]);
}

class OpenedAppsDrawingTest : public ::testing::Test {
protected:
    OpenedAppsDrawingTest() {
        store.set("displayStyle", 4);
        store.set("activeSpaceColor", ValueArray{0.9, 0.3, 0.1, 1});
    }

    std::vector<DrawCall> record(const std::vector<Space>& spaces) {
        image = creator.createIcon(spaces)->image;
        return RecordingCanvas::record(*image);
    }

    SettingsStore store;
    ArtworkCatalog catalog;
    Appearance appearance = Appearance::Dark;
    IconCreator creator{store, catalog, [this] { return appearance; }};
    ImageRef image;
};

TEST_F(OpenedAppsDrawingTest, SlotsAreInsetOutlinedAndCurrentOnesFilled) {
    auto current = makeSpace("A", "1", 1, true);
    auto currentFull = makeSpace("B", "2", 1, true, true);
    auto other = makeSpace("B", "3", 2);
    const auto calls = record({current, currentFull, other});

    const auto fills = callsOfKind(calls, Kind::Fill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].color, (Color{0.9, 0.3, 0.1, 1})) << "the active colour";
    EXPECT_EQ(fills[1].color, (Color{0.2, 0.6, 0.2, 0.5})) << "fixed green, not the active colour";

    const auto strokes = callsOfKind(calls, Kind::Stroke);
    ASSERT_EQ(strokes.size(), 3u) << "no corner marks without apps";
    const double xs[] = {0, 38.7, 72.4};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto body = std::get<Path::RoundedRect>(strokes[i].path.elements().at(0));
        expectRect(body.rect, {xs[i] + 0.5, 0.5, 30.2, 20.6});
        EXPECT_EQ(body.radiusX, 3.0);
        EXPECT_EQ(strokes[i].color, Color::white().withAlpha(0.25));
        EXPECT_EQ(strokes[i].strokeStyle.lineWidth, 1.0);
    }

    store.set("useHighContrastBorders", true);
    appearance = Appearance::Light;
    const auto pronounced = callsOfKind(record({other}), Kind::Stroke);
    ASSERT_EQ(pronounced.size(), 1u);
    EXPECT_EQ(pronounced[0].color, Color::black().withAlpha(0.8));
    EXPECT_EQ(pronounced[0].strokeStyle.lineWidth, 1.2);
    expectRect(std::get<Path::RoundedRect>(pronounced[0].path.elements().at(0)).rect,
               {0.6, 0.6, 30.0, 20.4});
}

TEST_F(OpenedAppsDrawingTest, IconsOverflowAndFullScreenMarks) {
    auto five = makeSpace("A", "1", 1, false, true);
    five.appIcons = icons(5);
    const auto calls = record({five});
    const auto draws = callsOfKind(calls, Kind::DrawImage);
    ASSERT_EQ(draws.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(draws[i].image, five.appIcons[i].get());
        EXPECT_NEAR(draws[i].rect.width(), 9.3, kTolerance);
        EXPECT_EQ(draws[i].operation, CompositingOperation::SourceOver);
        EXPECT_EQ(draws[i].opacity, 1.0);
    }
    const auto text = callsOfKind(calls, Kind::DrawText);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].text, "+");
    EXPECT_EQ(text[0].attributes.foreground, Color::white().withAlpha(0.6));
    EXPECT_EQ(text[0].attributes.font, (Font{8, FontWeight::Bold, false}));
    // "+" at 0.6 × 8 wide and 1.2 × 8 high, centred in the bottom-right cell.
    const double cellX = (31.2 - 19.6) / 2 + 10.3;
    const double cellY = (21.6 - 19.6) / 2;
    expectRect(text[0].rect, {cellX + (9.3 - 4.8) / 2, cellY + (9.3 - 9.6) / 2, 4.8, 9.6});

    const auto strokes = callsOfKind(calls, Kind::Stroke);
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[1].strokeStyle, (StrokeStyle{1.0, LineCap::Round}));
    EXPECT_EQ(strokes[1].color, Color::white().withAlpha(0.25));
    EXPECT_EQ(strokes[1].path.elements().size(), 8u);

    auto fourApps = makeSpace("A", "1", 1);
    fourApps.appIcons = icons(4);
    const auto four = record({fourApps});
    EXPECT_EQ(callsOfKind(four, Kind::DrawImage).size(), 4u);
    EXPECT_TRUE(callsOfKind(four, Kind::DrawText).empty());

    auto twoApps = makeSpace("A", "1", 1);
    twoApps.appIcons = icons(2);
    const auto two = callsOfKind(record({twoApps}), Kind::DrawImage);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_NEAR(two[0].rect.minX(), 1.0, kTolerance);
    EXPECT_NEAR(two[0].rect.width(), 14.24, kTolerance);
}

TEST_F(OpenedAppsDrawingTest, AnImageKeepsItsOwnRectanglesAndOutlivesItsCreator) {
    auto first = makeSpace("A", "1", 1, true);
    auto second = makeSpace("A", "2", 2);
    ImageRef old;
    {
        IconCreator shortLived(store, catalog, [] { return Appearance::Dark; });
        old = shortLived.createIcon({first, second})->image;
        // A later snapshot moves space 2 to the front and drops space 1.
        shortLived.createIcon({second});
    }
    creator.createIcon({second});
    const auto calls = RecordingCanvas::record(*old);
    const auto strokes = callsOfKind(calls, Kind::Stroke);
    ASSERT_EQ(strokes.size(), 2u);
    expectRect(std::get<Path::RoundedRect>(strokes[0].path.elements().at(0)).rect,
               {0.5, 0.5, 30.2, 20.6});
    expectRect(std::get<Path::RoundedRect>(strokes[1].path.elements().at(0)).rect,
               {33.7 + 0.5, 0.5, 30.2, 20.6});
    EXPECT_EQ(callsOfKind(calls, Kind::Fill).size(), 1u) << "space 1 is still current in it";
}

} // namespace
} // namespace tidemark
