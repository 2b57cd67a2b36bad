#include "ui/ImageRenderer.h"

#include "foundation/SettingsStore.h"
#include "icon/ArtworkCatalog.h"
#include "icon/Canvas.h"
#include "icon/IconCreator.h"
#include "icon/IconTestSupport.h"
#include "ui/AppearancePalette.h"
#include "ui/GuiApplication.h"
#include "ui/SpriteCache.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <gtest/gtest.h>

namespace tidemark {
namespace {

using testing::makeSpace;

// Pixels of the glyph whose lower-left corner is at `x` points, at 2×, shrunk by `inset`
// points on every side.
struct Region {
    int left, top, right, bottom; // pixels, right and bottom exclusive
};

Region glyphRegion(double x, double inset, double height = 12, double width = 18) {
    return {static_cast<int>((x + inset) * 2), static_cast<int>(inset * 2),
            static_cast<int>((x + width - inset) * 2), static_cast<int>((height - inset) * 2)};
}

int countPixels(const QImage& image, Region region, const std::function<bool(QColor)>& test) {
    int count = 0;
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x)
            if (test(image.pixelColor(x, y)))
                ++count;
    return count;
}

int maxAlpha(const QImage& image, Region region) {
    int result = 0;
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x)
            result = std::max(result, image.pixelColor(x, y).alpha());
    return result;
}

class ImageRendererTest : public ::testing::Test {
protected:
    ImageRendererTest() { ui::ensureGuiApplication(); }

    QImage render(const std::vector<Space>& spaces, SkywardStyle style) {
        store.set("displayStyle", rawValue(style));
        const auto image = creator.createIcon(spaces)->image;
        return ui::renderImage(*image, 2, ui::stripForeground(appearance));
    }

    SettingsStore store;
    ArtworkCatalog catalog;
    Appearance appearance = Appearance::Light;
    IconCreator creator{store, catalog, [this] { return appearance; }};
};

TEST_F(ImageRendererTest, SizeFollowsTheScaleAndTheOriginIsAtTheLowerLeft) {
    const auto quarter = Image::drawn({8, 6}, false, [](Canvas& canvas, Rect) {
        canvas.fill(Path::roundedRect({0, 0, 4, 3}, 0, 0), Color::black());
    });
    const QImage pixels = ui::renderImage(*quarter, 2, Color::black());
    EXPECT_EQ(pixels.width(), 16);
    EXPECT_EQ(pixels.height(), 12);
    EXPECT_EQ(pixels.pixelColor(1, 10).alpha(), 255) << "lower left is filled";
    EXPECT_EQ(pixels.pixelColor(1, 1).alpha(), 0) << "upper left is empty";
    EXPECT_EQ(pixels.pixelColor(14, 10).alpha(), 0);

    store.set("displayStyle", rawValue(SkywardStyle::numbers));
    const auto strip = creator
                           .createIcon({makeSpace("A", "1", 1, true), makeSpace("A", "2", 2),
                                        makeSpace("A", "3", 3), makeSpace("A", "4", 4)})
                           ->image;
    EXPECT_EQ(ui::renderImage(*strip, 1, Color::black()).width(), 80);  // 79.5 rounded up
    EXPECT_EQ(ui::renderImage(*strip, 2, Color::black()).width(), 159); // exact
    EXPECT_EQ(ui::renderImage(*strip, 3, Color::black()).height(), 36);
}

TEST_F(ImageRendererTest, CurrentSpaceIsFilledAndTintedForTheBar) {
    const std::vector<Space> spaces{makeSpace("A", "1", 1, true), makeSpace("A", "2", 2)};
    const QImage light = render(spaces, SkywardStyle::none);
    const QColor current = light.pixelColor(18, 12);
    EXPECT_GE(current.alpha(), 250);
    EXPECT_LE(current.red(), 10) << "dark on a light bar";
    const QColor inside = light.pixelColor(41 + 18, 12);
    EXPECT_LT(inside.alpha(), 160) << "the other space is outlined over a half tone, not filled";

    appearance = Appearance::Dark;
    const QImage dark = render(spaces, SkywardStyle::none);
    EXPECT_GE(dark.pixelColor(18, 12).alpha(), 200);
    EXPECT_GE(dark.pixelColor(18, 12).red(), 245) << "light on a dark bar";
}

TEST_F(ImageRendererTest, DigitsAreReallyCutOut) {
    const std::vector<Space> spaces{makeSpace("A", "1", 8, true), makeSpace("A", "2", 2)};
    const QImage plain = render(spaces, SkywardStyle::none);
    const QImage numbered = render(spaces, SkywardStyle::numbersAndRects);
    const auto clear = [](QColor c) { return c.alpha() < 40; };
    const Region body = glyphRegion(0, 2);
    EXPECT_EQ(countPixels(plain, body, clear), 0) << "the filled rectangle has no holes";
    const int holes = countPixels(numbered, body, clear);
    EXPECT_GT(holes, 40) << "the 8 is erased from the fill";
    // The hole sits in the middle, where the digit is, not at the rectangle's edge.
    EXPECT_LT(numbered.pixelColor(18, 12).alpha() + numbered.pixelColor(18, 8).alpha() +
                  numbered.pixelColor(18, 16).alpha(),
              3 * 255);
    EXPECT_GE(numbered.pixelColor(4, 12).alpha(), 200);
}

TEST_F(ImageRendererTest, NumbersShowTheCurrentSpaceOpaque) {
    const QImage numbers =
        render({makeSpace("A", "1", 4, true), makeSpace("A", "2", 4)}, SkywardStyle::numbers);
    const int current = maxAlpha(numbers, glyphRegion(0, 0));
    const int other = maxAlpha(numbers, glyphRegion(20.5, 0));
    EXPECT_GE(current, 210);
    EXPECT_NEAR(other, 0.4 * current, 12);
    EXPECT_GT(countPixels(numbers, glyphRegion(0, 0), [](QColor c) { return c.alpha() > 128; }),
              30);
}

// Relative luminance of an opaque sRGB colour, as the web's contrast guidelines define it.
double luminance(QColor c) {
    const auto linear = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

TEST_F(ImageRendererTest, NumbersReadAgainstTheirGlyphOnTheStripsBackground) {
    // Inside the glyph (away from any outline) only the number and what surrounds it show:
    // the number's fully covered pixels and the surround are the extremes of luminance.
    constexpr double kScale = 4;
    const auto contrast = [&](SkywardStyle style, bool current) {
        store.set("displayStyle", rawValue(style));
        const auto image = creator.createIcon({makeSpace("A", "1", 8, current)})->image;
        const QImage strip = ui::onBar(
            ui::renderImage(*image, kScale, ui::stripForeground(appearance)), appearance, 0);
        double lightest = 0, darkest = 1;
        for (int y = int(2.5 * kScale); y < int(9.5 * kScale); ++y)
            for (int x = int(2.5 * kScale); x < int(15.5 * kScale); ++x) {
                const double l = luminance(strip.pixelColor(x, y));
                lightest = std::max(lightest, l);
                darkest = std::min(darkest, l);
            }
        return (lightest + 0.05) / (darkest + 0.05);
    };
    struct Case {
        SkywardStyle style;
        Appearance appearance;
        bool current;
        double atLeast;
    };
    // Black at the fixed 0.4 opacity of other spaces' plain numbers reads at most 2.85:1 on
    // any light ground, white at 0.4 reads at 3.7:1 on the dark bar.
    const std::vector<Case> cases{
        {SkywardStyle::numbersAndRects, Appearance::Light, true, 3},
        {SkywardStyle::numbersAndRects, Appearance::Light, false, 3},
        {SkywardStyle::numbersAndRects, Appearance::Dark, true, 3},
        {SkywardStyle::numbersAndRects, Appearance::Dark, false, 3},
        {SkywardStyle::numbers, Appearance::Light, true, 3},
        {SkywardStyle::numbers, Appearance::Light, false, 2.75},
        {SkywardStyle::numbers, Appearance::Dark, true, 3},
        {SkywardStyle::numbers, Appearance::Dark, false, 3},
    };
    for (const auto& c : cases) {
        appearance = c.appearance;
        EXPECT_GE(contrast(c.style, c.current), c.atLeast)
            << label(c.style) << (c.appearance == Appearance::Dark ? ", dark" : ", light")
            << (c.current ? ", current" : ", other");
    }
}

TEST_F(ImageRendererTest, CustomColourSurvivesWhileOtherGlyphsAreTinted) {
    appearance = Appearance::Dark;
    store.set("activeSpaceColor", ValueArray{1.0, 0.0, 0.0, 1.0});
    const std::vector<Space> spaces{makeSpace("A", "1", 1, true), makeSpace("A", "2", 2)};
    for (const auto style : {SkywardStyle::none, SkywardStyle::numbersAndRects}) {
        const QImage pixels = render(spaces, style);
        const QColor fill = pixels.pixelColor(4, 12);
        EXPECT_GE(fill.red(), 250);
        EXPECT_LE(fill.green(), 5);
        EXPECT_GE(fill.alpha(), 250);
        // The other glyph's outline is light on the dark bar, not black.
        const QColor outline = pixels.pixelColor(41 + 3, 12);
        EXPECT_GE(outline.alpha(), 150);
        EXPECT_GE(outline.green(), 240);
    }
}

TEST_F(ImageRendererTest, OpenedAppsDrawsBitmapIconsAndTheFill) {
    auto withIcon = makeSpace("A", "1", 1, true);
    withIcon.appIcons = {testing::solidIcon(200, 30, 40)};
    auto empty = makeSpace("A", "2", 2);
    const QImage pixels = render({withIcon, empty}, SkywardStyle::openedApps);
    EXPECT_EQ(pixels.width(), 130); // 31.2 + 2.5 + 31.2 = 64.9 points
    EXPECT_EQ(pixels.height(), 44); // 21.6 points
    const QColor icon = pixels.pixelColor(31, 21);
    EXPECT_EQ(icon.red(), 200);
    EXPECT_EQ(icon.green(), 30);
    // Beside the icon the slot shows the default active colour (light: 0.25, 0.7, 0.25, 0.5).
    const QColor fill = pixels.pixelColor(6, 21);
    EXPECT_NEAR(fill.alpha(), 128, 3);
    EXPECT_NEAR(fill.green(), 178, 3);
    EXPECT_EQ(pixels.pixelColor(2 * 33.7 + 31, 21).alpha(), 0) << "empty slot: outline only";
}

} // namespace
} // namespace tidemark

namespace tidemark {
namespace {

// Copies of cached shapes must match what painting the shape there directly gives.
TEST(SpriteCacheTest, CachedShapesAndIconsMatchDirectPainting) {
    ui::ensureGuiApplication();
    const Rect body{3.35, 1.7, 24.6, 15.3};
    const auto icon = testing::solidIcon(250, 120, 10, 7);
    const Rect iconRect{7.3, 4.45, 9.3, 9.3};
    const auto drawing = [&](Canvas& canvas, Rect) {
        canvas.fill(Path::roundedRect(body, 3, 3), Color{0.2, 0.6, 0.2, 0.5});
        canvas.stroke(Path::roundedRect(body, 3, 3), Color::black().withAlpha(0.8),
                      {1.2, LineCap::Butt});
        canvas.drawImage(*icon, iconRect, CompositingOperation::SourceOver, 1.0);
    };
    const auto image = Image::drawn({32, 20}, false, drawing);
    // Twice: the second render copies from the cache.
    ui::renderImage(*image, 2, Color::black());
    const QImage cached = ui::renderImage(*image, 2, Color::black());

    QImage direct(64, 40, QImage::Format_ARGB32_Premultiplied);
    direct.fill(Qt::transparent);
    {
        QPainter painter(&direct);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(0, 40);
        painter.scale(2, -2);
        QPainterPath path;
        path.addRoundedRect(QRectF(body.minX(), body.minY(), body.width(), body.height()), 3, 3);
        painter.fillPath(path, QColor::fromRgbF(0.2f, 0.6f, 0.2f, 0.5f));
        painter.strokePath(path, QPen(QColor::fromRgbF(0, 0, 0, 0.8f), 1.2, Qt::SolidLine,
                                      Qt::FlatCap, Qt::MiterJoin));
        painter.translate(iconRect.minX(), iconRect.maxY());
        painter.scale(1, -1);
        const auto& bitmap = *icon->bitmap();
        painter.drawImage(QRectF(0, 0, iconRect.width(), iconRect.height()),
                          QImage(bitmap.rgba.data(), bitmap.width, bitmap.height, bitmap.width * 4,
                                 QImage::Format_RGBA8888_Premultiplied));
    }
    int worst = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x) {
            const QColor a = cached.pixelColor(x, y);
            const QColor b = direct.pixelColor(x, y);
            const int d = std::max({std::abs(a.alpha() - b.alpha()), std::abs(a.red() - b.red()),
                                    std::abs(a.green() - b.green())});
            worst = std::max(worst, d);
        }
    // Curves flattened in device rather than point space differ by a few levels at corners.
    EXPECT_LE(worst, 8);
    EXPECT_GT(cached.pixelColor(2 * 12, 40 - 2 * 9).red(), 240) << "the icon is in place";
}

// A long-running strip meets a new icon with every app launched: the sprites of icons no
// longer held anywhere must go, and a new icon at a freed address must not get old pixels.
TEST(SpriteCacheTest, SpritesOfReleasedIconsGoAndAreNeverReused) {
    ui::ensureGuiApplication();
    auto& cache = ui::SpriteCache::shared();
    const QTransform device = QTransform::fromScale(2, 2);
    const Rect rect{1, 1, 9, 9};
    const auto spriteRed = [&](const ImageRef& icon) {
        const auto& bitmap = *icon->bitmap();
        const QImage pixels(bitmap.rgba.data(), bitmap.width, bitmap.height, bitmap.width * 4,
                            QImage::Format_RGBA8888_Premultiplied);
        const auto sprite = cache.bitmap(device, icon->sharedBitmap(), pixels, rect);
        return sprite->pixels->pixelColor(sprite->pixels->rect().center()).red();
    };
    const auto keptIcon = testing::solidIcon(10, 200, 10, 7);
    spriteRed(keptIcon);
    const auto before = cache.size();
    for (int launch = 0; launch < 600; ++launch) {
        const int red = launch % 2 ? 250 : 30;
        EXPECT_NEAR(spriteRed(testing::solidIcon(red, 0, 0, 7 + launch % 3)), red, 2) << launch;
    }
    EXPECT_LE(cache.size(), before + 1);
    EXPECT_NEAR(spriteRed(keptIcon), 10, 2) << "a held icon keeps its sprite";
}

} // namespace
} // namespace tidemark
