#include "icon/Glyphs.h"

#include "icon/ArtworkCatalog.h"
#include "icon/IconTestSupport.h"
#include "icon/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

using testing::expectRect;
using testing::kTolerance;
using testing::makeSpace;
using Kind = DrawCall::Kind;

void expectPoint(Point actual, Point expected) {
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
}

// The rounded rectangle a one-piece path consists of.
Path::RoundedRect onlyRoundedRect(const Path& path) {
    EXPECT_EQ(path.elements().size(), 1u);
    return std::get<Path::RoundedRect>(path.elements().at(0));
}

// The four segments of the corner marks as (from, to) pairs.
std::vector<std::pair<Point, Point>> segments(const Path& path) {
    std::vector<std::pair<Point, Point>> result;
    const auto& elements = path.elements();
    for (std::size_t i = 0; i + 1 < elements.size(); i += 2)
        result.emplace_back(std::get<Path::MoveTo>(elements[i]).point,
                            std::get<Path::LineTo>(elements[i + 1]).point);
    return result;
}

class GlyphsTest : public ::testing::Test {
protected:
    ArtworkCatalog catalog;
    GlyphArtwork artwork = GlyphArtwork::from(catalog);
    RectangleGlyphOptions options;
};

TEST_F(GlyphsTest, RectangleGlyphPicksTheNamedImages) {
    EXPECT_EQ(rectangleGlyph(makeSpace("A", "1", 1, true), options, artwork),
              catalog.image("SkywardIcon"));
    EXPECT_EQ(rectangleGlyph(makeSpace("A", "1", 1, true, true), options, artwork),
              catalog.image("SkywardIconFullEn"));
    EXPECT_EQ(rectangleGlyph(makeSpace("A", "1", 1), options, artwork),
              catalog.image("SkywardIconBorder"));
    EXPECT_EQ(rectangleGlyph(makeSpace("A", "1", 1, false, true), options, artwork),
              catalog.image("SkywardIconFullDis"));

    // A custom colour does not touch a current full-screen space, nor the numbers style.
    options.hasCustomActiveColor = true;
    EXPECT_EQ(rectangleGlyph(makeSpace("A", "1", 1, true, true), options, artwork),
              catalog.image("SkywardIconFullEn"));
    options.style = SkywardStyle::numbers;
    EXPECT_EQ(rectangleGlyph(makeSpace("A", "1", 1, true), options, artwork),
              catalog.image("SkywardIcon"));
    // Pronounced borders change only spaces that are not current.
    options.highContrastBorders = true;
    options.hasCustomActiveColor = false;
    EXPECT_EQ(rectangleGlyph(makeSpace("A", "1", 1, true), options, artwork),
              catalog.image("SkywardIcon"));
    EXPECT_EQ(rectangleGlyph(makeSpace("A", "1", 1, true, true), options, artwork),
              catalog.image("SkywardIconFullEn"));
}

TEST_F(GlyphsTest, CustomColourGlyphIsAFilledInsetRectangle) {
    options.hasCustomActiveColor = true;
    options.activeColor = {0.9, 0.2, 0.1, 0.7};
    const auto glyph = rectangleGlyph(makeSpace("A", "1", 1, true), options, artwork);
    EXPECT_FALSE(glyph->isTemplate());
    EXPECT_EQ(glyph->size(), (Size{18, 12}));
    const auto calls = RecordingCanvas::record(*glyph);
    ASSERT_EQ(calls.size(), 1u) << "filled, no outline";
    EXPECT_EQ(calls[0].kind, Kind::Fill);
    EXPECT_EQ(calls[0].color, options.activeColor);
    const auto body = onlyRoundedRect(calls[0].path);
    expectRect(body.rect, {0.75, 0.75, 16.5, 10.5});
    EXPECT_EQ(body.radiusX, 2.0);
    EXPECT_EQ(body.radiusY, 2.0);
}

TEST_F(GlyphsTest, PronouncedBordersStrokeOverTheFullScreenArtwork) {
    options.highContrastBorders = true;
    const auto fullScreen = rectangleGlyph(makeSpace("A", "1", 1, false, true), options, artwork);
    EXPECT_TRUE(fullScreen->isTemplate());
    const auto calls = RecordingCanvas::record(*fullScreen);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, Kind::DrawImage);
    EXPECT_EQ(calls[0].image, catalog.image("SkywardIconFullDis").get());
    expectRect(calls[0].rect, {0, 0, 18, 12});
    EXPECT_EQ(calls[1].kind, Kind::Stroke);
    EXPECT_EQ(calls[1].color, Color::black());
    EXPECT_EQ(calls[1].strokeStyle.lineWidth, 1.5);
    expectRect(onlyRoundedRect(calls[1].path).rect, {0.75, 0.75, 16.5, 10.5});

    const auto plain = RecordingCanvas::record(
        *rectangleGlyph(makeSpace("A", "1", 1, false, false), options, artwork));
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].kind, Kind::Stroke);
}

TEST_F(GlyphsTest, CornerMarksOfAGlyph) {
    const auto marks = segments(fullScreenCornerMarks({0, 0, 18, 12}, 1.5));
    ASSERT_EQ(marks.size(), 4u);
    const std::pair<Point, Point> expected[] = {{{2.5, 8.5}, {5.14, 8.5}},
                                                {{3.5, 9.5}, {3.5, 6.86}},
                                                {{12.86, 3.5}, {15.5, 3.5}},
                                                {{14.5, 2.5}, {14.5, 5.14}}};
    for (std::size_t i = 0; i < 4; ++i) {
        expectPoint(marks[i].first, expected[i].first);
        expectPoint(marks[i].second, expected[i].second);
    }
    // A thin line keeps the 2-point margin; the slot of the opened-apps style.
    const auto thin = segments(fullScreenCornerMarks({10, 0, 31.2, 21.6}, 1.0));
    expectPoint(thin[0].first, {12, 18.6});
    expectPoint(thin[0].second, {12 + 0.22 * 21.6, 18.6});
    expectPoint(thin[3].second, {38.2, 2 + 0.22 * 21.6});
}

TEST_F(GlyphsTest, NumberGlyphCentresTheTextAndMarksFullScreen) {
    const TextAttributes attributes{
        Color::black().withAlpha(0.4), {12, FontWeight::Bold, true}, TextAlignment::Center};
    const Color mark = Color::white().withAlpha(0.8);
    const auto glyph = numberGlyph("7", true, attributes, mark);
    EXPECT_TRUE(glyph->isTemplate());
    const auto calls = RecordingCanvas::record(*glyph);
    const auto text = callsOfKind(calls, Kind::DrawText);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].text, "7");
    EXPECT_EQ(text[0].attributes, attributes);
    // The recording canvas gives lines 1.2 × 12 = 14.4 high.
    expectRect(text[0].rect, {0, (12 - 14.4) / 2, 18, 14.4});
    const auto strokes = callsOfKind(calls, Kind::Stroke);
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].color, mark);
    EXPECT_EQ(strokes[0].strokeStyle, (StrokeStyle{1.5, LineCap::Round}));
    EXPECT_EQ(strokes[0].compositing, CompositingOperation::SourceOver);

    EXPECT_TRUE(callsOfKind(RecordingCanvas::record(*numberGlyph("7", false, attributes, mark)),
                            Kind::Stroke)
                    .empty());
}

TEST_F(GlyphsTest, NumberedRectangleCutsDigitsAndMarksOut) {
    const TextAttributes attributes{
        Color::black(), {10, FontWeight::Bold, true}, TextAlignment::Center};
    const auto base = catalog.image("SkywardIconFullEn");
    const auto glyph =
        numberedRectangleGlyph(base, "12", true, attributes, Color::black().withAlpha(0.8));
    EXPECT_TRUE(glyph->isTemplate());
    const auto calls = RecordingCanvas::record(*glyph);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].kind, Kind::DrawImage);
    EXPECT_EQ(calls[0].image, base.get());
    expectRect(calls[0].rect, {0, 0, 18, 12});
    EXPECT_EQ(calls[0].operation, CompositingOperation::SourceOver);
    EXPECT_EQ(calls[1].kind, Kind::SetCompositing);
    EXPECT_EQ(calls[1].operation, CompositingOperation::DestinationOut);
    EXPECT_EQ(calls[2].kind, Kind::DrawText);
    EXPECT_EQ(calls[2].text, "12");
    EXPECT_EQ(calls[2].compositing, CompositingOperation::DestinationOut);
    expectRect(calls[2].rect, {0, 0, 18, 12}); // 1.2 × 10 is exactly the glyph's height
    EXPECT_EQ(calls[3].kind, Kind::Stroke);
    EXPECT_EQ(calls[3].compositing, CompositingOperation::DestinationOut);

    // Built on a custom-colour glyph, it stays a colour image.
    options.hasCustomActiveColor = true;
    const auto colourBase = rectangleGlyph(makeSpace("A", "1", 1, true), options, artwork);
    EXPECT_FALSE(
        numberedRectangleGlyph(colourBase, "1", false, attributes, Color::black())->isTemplate());
}

TEST_F(GlyphsTest, ArtworkIsGlyphSizedTemplateAndTheAppIconIsNot) {
    for (const auto* name :
         {"SkywardIcon", "SkywardIconBorder", "SkywardIconFullEn", "SkywardIconFullDis"}) {
        const auto image = catalog.image(name);
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->size(), (Size{18, 12})) << name;
        EXPECT_TRUE(image->isTemplate()) << name;
        EXPECT_FALSE(RecordingCanvas::record(*image).empty()) << name;
    }
    ASSERT_TRUE(catalog.image("AppIcon"));
    EXPECT_FALSE(catalog.image("AppIcon")->isTemplate());
    EXPECT_EQ(catalog.image("NoSuchImage"), nullptr);
}

} // namespace
} // namespace tidemark
