#include "icon/IconCreator.h"

#include "foundation/SettingsStore.h"
#include "icon/ArtworkCatalog.h"
#include "icon/IconPalette.h"
#include "icon/IconTestSupport.h"
#include "icon/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

using testing::expectRect;
using testing::kTolerance;
using testing::makeSpace;

class IconCreatorTest : public ::testing::Test {
protected:
    IconCreatorTest() { store.registerDefaults({{"displayStyle", 4}}); }

    void setStyle(SkywardStyle style) { store.set("displayStyle", rawValue(style)); }

    SettingsStore store;
    ArtworkCatalog catalog;
    Appearance appearance = Appearance::Light;
    IconCreator creator{store, catalog, [this] { return appearance; }};
};

std::vector<Space> twoDisplays() {
    return {makeSpace("A", "10", 1, true), makeSpace("A", "11", 2), makeSpace("A", "12", 3),
            makeSpace("B", "20", 4, true), makeSpace("B", "21", 5)};
}

TEST_F(IconCreatorTest, OneDisplayOfFourNumbers) {
    setStyle(SkywardStyle::numbers);
    const auto layout = creator.createIcon({makeSpace("A", "1", 1, true), makeSpace("A", "2", 2),
                                            makeSpace("A", "3", 3), makeSpace("A", "4", 4)});
    const auto& image = layout->image;
    EXPECT_NEAR(image->size().width, 79.5, kTolerance);
    EXPECT_NEAR(image->size().height, 12, kTolerance);
    EXPECT_TRUE(image->isTemplate());
    EXPECT_EQ(layout->displayCount, 1);
    ASSERT_EQ(layout->spaceRects.size(), 4u);
    const double xs[] = {0, 20.5, 41, 61.5};
    for (int i = 0; i < 4; ++i)
        expectRect(layout->spaceRects.at(std::to_string(i + 1)), {xs[i], 0, 18, 12});

    // The composite places each glyph at its hit rectangle, at the glyph's own size.
    const auto draws = callsOfKind(RecordingCanvas::record(*image), DrawCall::Kind::DrawImage);
    ASSERT_EQ(draws.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        expectRect(draws[i].rect, {xs[i], 0, 18, 12});
        EXPECT_EQ(draws[i].operation, CompositingOperation::SourceOver);
        EXPECT_EQ(draws[i].opacity, 1.0);
    }
}

TEST_F(IconCreatorTest, DisplayBreaksWidenTheGapAndTheImage) {
    for (const auto style :
         {SkywardStyle::none, SkywardStyle::numbers, SkywardStyle::numbersAndRects}) {
        setStyle(style);
        const auto layout = creator.createIcon(twoDisplays());
        EXPECT_NEAR(layout->image->size().width, 107.5, kTolerance);
        EXPECT_EQ(layout->displayCount, 2);
        const std::pair<const char*, double> expected[] = {
            {"10", 0}, {"11", 20.5}, {"12", 41}, {"20", 66.5}, {"21", 87}};
        for (const auto& [id, x] : expected)
            expectRect(layout->spaceRects.at(id), {x, 0, 18, 12});
    }
}

TEST_F(IconCreatorTest, InterleavedDisplaysCountRunsNotDisplays) {
    setStyle(SkywardStyle::none);
    const auto glyphs = creator.createIcon(
        {makeSpace("A", "1", 1, true), makeSpace("B", "2", 1, true), makeSpace("A", "3", 2)});
    EXPECT_EQ(glyphs->displayCount, 3);
    expectRect(glyphs->spaceRects.at("2"), {25.5, 0, 18, 12});
    expectRect(glyphs->spaceRects.at("3"), {51, 0, 18, 12});
    setStyle(SkywardStyle::openedApps);
    const auto slots = creator.createIcon(
        {makeSpace("A", "1", 1, true), makeSpace("B", "2", 1, true), makeSpace("A", "3", 2)});
    EXPECT_EQ(slots->displayCount, 3);
    EXPECT_NEAR(slots->image->size().width, 31.2 * 3 + 7.5 * 2, kTolerance);
}

TEST_F(IconCreatorTest, OpenedAppsSlotsAreExactAndNeverTemplate) {
    setStyle(SkywardStyle::openedApps);
    store.set("useHighContrastBorders", true);
    const auto layout = creator.createIcon(twoDisplays());
    const auto& image = layout->image;
    EXPECT_NEAR(image->size().width, 171, kTolerance);
    EXPECT_NEAR(image->size().height, 21.6, kTolerance);
    EXPECT_FALSE(image->isTemplate());
    EXPECT_EQ(layout->displayCount, 2);
    const std::pair<const char*, double> expected[] = {
        {"10", 0}, {"11", 33.7}, {"12", 67.4}, {"20", 106.1}, {"21", 139.8}};
    for (const auto& [id, x] : expected)
        expectRect(layout->spaceRects.at(id), {x, 0, 31.2, 21.6});
}

TEST_F(IconCreatorTest, EmptySnapshotGivesAnEmptyImage) {
    for (const auto style : kAllSkywardStyles) {
        setStyle(style);
        const auto full = creator.createIcon(twoDisplays());
        const auto empty = creator.createIcon({});
        EXPECT_EQ(empty->image->size().width, 0);
        EXPECT_TRUE(empty->spaceRects.empty());
        EXPECT_EQ(empty->displayCount, 0);
        EXPECT_TRUE(RecordingCanvas::record(*empty->image).empty());
        EXPECT_EQ(full->spaceRects.size(), 5u) << "an earlier layout is not touched";
        EXPECT_EQ(full->displayCount, 2);
    }
}

TEST_F(IconCreatorTest, StoredStyleThreeIsRewrittenOthersAreNot) {
    store.set("displayStyle", 3);
    creator.createIcon(twoDisplays());
    EXPECT_EQ(store.storedValues().at("displayStyle"), Value(2));
    // Rewritten style 2 cuts numbers out: the glyphs are numbered rectangles.
    const auto image = creator.createIcon(twoDisplays())->image;
    const auto glyph = callsOfKind(RecordingCanvas::record(*image), DrawCall::Kind::DrawImage);
    ASSERT_FALSE(glyph.empty());
    EXPECT_EQ(
        callsOfKind(RecordingCanvas::record(*glyph[0].image), DrawCall::Kind::DrawText).size(), 1u);

    for (const int raw : {7, -1}) {
        store.set("displayStyle", raw);
        const auto strip = creator.createIcon(twoDisplays())->image;
        EXPECT_EQ(store.storedValues().at("displayStyle"), Value(raw));
        EXPECT_NEAR(strip->size().height, 12, kTolerance) << "draws like rectangles";
        const auto glyphs = callsOfKind(RecordingCanvas::record(*strip), DrawCall::Kind::DrawImage);
        ASSERT_EQ(glyphs.size(), 5u);
        EXPECT_EQ(glyphs[0].image, catalog.image("SkywardIcon").get());
        EXPECT_EQ(glyphs[1].image, catalog.image("SkywardIconBorder").get());
    }
}

TEST_F(IconCreatorTest, UnsetStyleReadsTheRegisteredDefault) {
    const auto image = creator.createIcon(twoDisplays())->image;
    EXPECT_NEAR(image->size().height, 21.6, kTolerance);
    EXPECT_FALSE(image->isTemplate());
}

TEST_F(IconCreatorTest, ActiveColorDecodesOnlyExactlyFourNumbers) {
    EXPECT_FALSE(creator.hasCustomActiveColor());
    EXPECT_EQ(creator.activeColor(), (Color{0.25, 0.7, 0.25, 0.5}));
    appearance = Appearance::Dark;
    EXPECT_EQ(creator.activeColor(), (Color{0.55, 0.88, 0.55, 0.5}));

    store.set("activeSpaceColor", ValueArray{0.1, 0.2, 0.3, 1});
    EXPECT_TRUE(creator.hasCustomActiveColor());
    EXPECT_EQ(creator.activeColor(), (Color{0.1, 0.2, 0.3, 1}));
    appearance = Appearance::Light;
    EXPECT_EQ(creator.activeColor(), (Color{0.1, 0.2, 0.3, 1})) << "same in both appearances";

    const ValueArray rejected[] = {
        {0.1, 0.2, 0.3},
        {0.1, 0.2, 0.3, 0.4, 0.5},
        {0.1, "0.2", 0.3, 0.4},
        {0.1, true, 0.3, 0.4},
        {},
    };
    for (const auto& value : rejected) {
        store.set("activeSpaceColor", value);
        EXPECT_FALSE(creator.hasCustomActiveColor());
        EXPECT_EQ(creator.activeColor(), (Color{0.25, 0.7, 0.25, 0.5}));
    }
    store.set("activeSpaceColor", "red");
    EXPECT_FALSE(creator.hasCustomActiveColor());

    // Out-of-range components are kept inside the colour space.
    store.set("activeSpaceColor", ValueArray{2.0, -1.0, 0.5, 1});
    EXPECT_EQ(creator.activeColor(), (Color{1, 0, 0.5, 1}));
}

TEST_F(IconCreatorTest, CustomColorDropsTheTemplateFlagExceptForNumbers) {
    store.set("activeSpaceColor", ValueArray{0.9, 0.1, 0.1, 1});
    setStyle(SkywardStyle::none);
    EXPECT_FALSE(creator.createIcon(twoDisplays())->image->isTemplate());
    setStyle(SkywardStyle::numbersAndRects);
    EXPECT_FALSE(creator.createIcon(twoDisplays())->image->isTemplate());
    setStyle(SkywardStyle::numbers);
    EXPECT_TRUE(creator.createIcon(twoDisplays())->image->isTemplate());

    store.set("activeSpaceColor", ValueArray{0.9, 0.1, 0.1});
    setStyle(SkywardStyle::none);
    EXPECT_TRUE(creator.createIcon(twoDisplays())->image->isTemplate());
}

// In every style an urgent space gets its mark in the signal colour of the appearance, over
// a spot cleared first; the strip then holds colour, so it is no template, while its glyphs
// still follow the bar.
TEST_F(IconCreatorTest, UrgentSpacesAreMarkedInEveryStyle) {
    const struct {
        SkywardStyle style;
        Rect slot; // of the urgent space, the second
        Rect mark;
        Rect cutOut;
    } cases[] = {
        {SkywardStyle::none, {20.5, 0, 18, 12}, {33.75, 7.25, 4, 4}, {33, 6.5, 5.5, 5.5}},
        {SkywardStyle::numbersAndRects,
         {20.5, 0, 18, 12},
         {33.75, 7.25, 4, 4},
         {33, 6.5, 5.5, 5.5}},
        {SkywardStyle::numbers,
         {20.5, 0, 18, 12},
         {24.5, 0.3125, 10, 1.25},
         {24.5, 0.3125, 10, 1.25}},
        {SkywardStyle::openedApps, {33.7, 0, 31.2, 21.6}, {57.9, 14.6, 6, 6}, {56.9, 13.6, 8, 8}},
    };
    for (const auto dark : {false, true}) {
        appearance = dark ? Appearance::Dark : Appearance::Light;
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(rawValue(c.style)) + (dark ? " dark" : " light"));
            setStyle(c.style);
            auto spaces = twoDisplays();
            spaces[1].isUrgent = true;
            const auto layout = creator.createIcon(spaces);
            expectRect(layout->spaceRects.at("11"), c.slot);
            EXPECT_FALSE(layout->image->isTemplate());
            const auto calls = RecordingCanvas::record(*layout->image);
            std::vector<DrawCall> marks;
            for (const auto& call : callsOfKind(calls, DrawCall::Kind::Fill))
                if (call.compositing == CompositingOperation::DestinationOut ||
                    call.color == iconPalette(dark).urgentMark)
                    marks.push_back(call);
            ASSERT_EQ(marks.size(), 2u);
            const auto shape = [](const DrawCall& call) {
                return std::get<Path::RoundedRect>(call.path.elements().at(0)).rect;
            };
            EXPECT_EQ(marks[0].compositing, CompositingOperation::DestinationOut);
            expectRect(shape(marks[0]), c.cutOut);
            EXPECT_EQ(marks[1].compositing, CompositingOperation::SourceOver);
            expectRect(shape(marks[1]), c.mark);

            // Without an urgent space nothing is cut and the template flag is as before.
            const auto plain = creator.createIcon(twoDisplays());
            EXPECT_EQ(plain->image->isTemplate(), c.style != SkywardStyle::openedApps);
            for (const auto& call : RecordingCanvas::record(*plain->image))
                EXPECT_NE(call.compositing, CompositingOperation::DestinationOut);
        }
    }
}

TEST_F(IconCreatorTest, TextAttributesAreCachedPerOpacityAndSize) {
    const auto& current = creator.textAttributes(1.0, 12);
    EXPECT_EQ(current.foreground, Color::black());
    EXPECT_EQ(current.font, (Font{12, FontWeight::Bold, true}));
    EXPECT_EQ(current.alignment, TextAlignment::Center);
    const auto& other = creator.textAttributes(0.4, 12);
    EXPECT_EQ(other.foreground, Color::black().withAlpha(0.4));
    const auto& small = creator.textAttributes(1.0, 10);
    EXPECT_EQ(small.font.pointSize, 10);
    EXPECT_EQ(creator.textAttributes(1.0, 9).font.pointSize, 10) << "any size but 12 is 10";
    EXPECT_EQ(creator.attributesCacheSize(), 4u);
    EXPECT_EQ(&creator.textAttributes(1.0, 12), &current);
    EXPECT_EQ(creator.attributesCacheSize(), 4u);
}

TEST_F(IconCreatorTest, NumberStringsBeyondTheCacheLookTheSame) {
    EXPECT_EQ(numberString(1), "1");
    EXPECT_EQ(numberString(64), "64");
    EXPECT_EQ(numberString(65), "65");
    EXPECT_EQ(numberString(0), "0");
    EXPECT_EQ(numberString(-3), "-3");

    setStyle(SkywardStyle::numbers);
    auto space = makeSpace("A", "1", 65, true);
    const auto image = creator.createIcon({space})->image;
    const auto glyph = callsOfKind(RecordingCanvas::record(*image), DrawCall::Kind::DrawImage);
    const auto text =
        callsOfKind(RecordingCanvas::record(*glyph.at(0).image), DrawCall::Kind::DrawText);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].text, "65");
}

// Every text an image draws, through the images it draws in turn.
void collectTexts(const Image& image, std::vector<std::string>& texts) {
    for (const auto& call : RecordingCanvas::record(image)) {
        if (call.kind == DrawCall::Kind::DrawText)
            texts.push_back(call.text);
        else if (call.kind == DrawCall::Kind::DrawImage && call.image)
            collectTexts(*call.image, texts);
    }
}

TEST_F(IconCreatorTest, NumbersStylesDrawTheWindowManagersNumberWhereThereIsOne) {
    std::vector<Space> spaces;
    const std::optional<std::int64_t> wmNumbers[] = {1, 2, std::nullopt, 4, 9};
    for (std::int64_t i = 0; i < 5; ++i) {
        spaces.push_back(makeSpace("A", std::to_string(i + 1), i + 1, i == 0));
        spaces.back().wmNumber = wmNumbers[i];
    }
    spaces[2].wmName = "web";
    for (const auto style : {SkywardStyle::numbers, SkywardStyle::numbersAndRects}) {
        setStyle(style);
        std::vector<std::string> texts;
        collectTexts(*creator.createIcon(spaces)->image, texts);
        EXPECT_EQ(texts, (std::vector<std::string>{"1", "2", "3", "4", "9"})) << rawValue(style);
    }
}

TEST_F(IconCreatorTest, PaletteFollowsTheAppearanceAtTheNextImage) {
    setStyle(SkywardStyle::openedApps);
    const auto outlineOf = [](const ImageRef& image) {
        return callsOfKind(RecordingCanvas::record(*image), DrawCall::Kind::Stroke).at(0).color;
    };
    const auto lightImage = creator.createIcon(twoDisplays())->image;
    appearance = Appearance::Dark;
    EXPECT_EQ(outlineOf(lightImage), Color::black().withAlpha(0.25)) << "kept by value";
    const auto darkImage = creator.createIcon(twoDisplays())->image;
    EXPECT_EQ(outlineOf(darkImage), Color::white().withAlpha(0.25));
    EXPECT_TRUE(creator.isDarkAppearance());
}

} // namespace
} // namespace tidemark
