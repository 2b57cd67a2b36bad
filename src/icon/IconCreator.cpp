#include "icon/IconCreator.h"

#include "foundation/SettingsStore.h"
#include "icon/Glyphs.h"
#include "icon/IconPalette.h"
#include "icon/ImageCatalog.h"
#include "icon/OpenedApps.h"
#include "preferences/SettingsKeys.h"
#include "spaces/Space.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tidemark {
namespace {

constexpr std::string_view kDisplayStyleKey = settings::kDisplayStyle;
constexpr std::string_view kUseHighContrastBordersKey = settings::kUseHighContrastBorders;

constexpr std::int64_t kRetiredStyleRawValue = 3;

constexpr double kCurrentNumberAlpha = 1.0;
constexpr double kOtherNumberAlpha = 0.4;
constexpr double kNumberSize = 12;
constexpr double kCutOutNumberSize = 10;

constexpr double kOpenedAppsLineWidth = 1.0;
constexpr double kOpenedAppsHighContrastLineWidth = 1.2;
constexpr double kOverflowFontSize = 8;

constexpr double kGlyphUrgentDot = 4;
constexpr double kUrgentClearance = 0.75;
constexpr double kUrgentBarWidth = 10;
constexpr double kUrgentBarThickness = 1.25;

// One glyph and where it goes in the composite.
struct PlacedGlyph {
    ImageRef image;
    double x = 0;
};

double clampUnit(double component) {
    if (std::isnan(component))
        return 0;
    return std::clamp(component, 0.0, 1.0);
}

// Shortest text that reads back to the same double, with a fractional part.
std::string shortestDecimal(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    if (text.find_first_of(".eEn") == std::string::npos)
        text += ".0";
    return text;
}

} // namespace

std::string textAttributesKey(double alpha, double size) {
    return shortestDecimal(alpha) + "_" + shortestDecimal(size);
}

IconCreator::IconCreator(SettingsStore& defaults, const ImageCatalog& catalog,
                         AppearanceSource appearance)
    : defaults_(defaults), catalog_(catalog), appearance_(std::move(appearance)) {}

bool IconCreator::isDarkAppearance() const {
    return appearance_ && appearance_() == Appearance::Dark;
}

bool IconCreator::hasCustomActiveColor() const {
    return settings::activeSpaceColor(defaults_).has_value();
}

Color IconCreator::activeColor() const {
    if (const auto custom = settings::activeSpaceColor(defaults_))
        return {clampUnit(custom->red), clampUnit(custom->green), clampUnit(custom->blue),
                clampUnit(custom->alpha)};
    return iconPalette(isDarkAppearance()).defaultActiveSpace;
}

const TextAttributes& IconCreator::textAttributes(double alpha, double size) {
    auto key = textAttributesKey(alpha, size);
    if (const auto it = attributesCache_.find(key); it != attributesCache_.end())
        return it->second;
    const TextAttributes attributes{Color::black().withAlpha(alpha),
                                    size == kNumberSize ? textFont12_ : textFont10_,
                                    textParagraphStyle_};
    return attributesCache_.emplace(std::move(key), attributes).first->second;
}

SkywardStyle IconCreator::readStyle() {
    std::int64_t raw = defaults_.integer(kDisplayStyleKey);
    if (raw == kRetiredStyleRawValue) {
        raw = rawValue(SkywardStyle::numbersAndRects);
        defaults_.set(kDisplayStyleKey, Value(raw));
    }
    return skywardStyleFromRawValue(raw).value_or(SkywardStyle::none);
}

IconLayoutRef IconCreator::createIcon(const std::vector<Space>& spaces) {
    const SkywardStyle style = readStyle();
    if (style == SkywardStyle::openedApps)
        return createOpenedAppsStrip(spaces);
    return createGlyphStrip(spaces, style);
}

IconLayoutRef IconCreator::createGlyphStrip(const std::vector<Space>& spaces, SkywardStyle style) {
    const bool dark = isDarkAppearance();
    const bool customColor = hasCustomActiveColor();
    const RectangleGlyphOptions options{style, defaults_.boolean(kUseHighContrastBordersKey),
                                        customColor, activeColor()};
    const GlyphArtwork artwork = GlyphArtwork::from(catalog_);
    const Color cornerMarkColor = iconPalette(dark).fullScreenCornerMark;

    std::vector<PlacedGlyph> glyphs;
    glyphs.reserve(spaces.size());
    for (const auto& space : spaces) {
        if (style == SkywardStyle::numbers) {
            const double alpha = space.isCurrentSpace ? kCurrentNumberAlpha : kOtherNumberAlpha;
            glyphs.push_back({numberGlyph(numberString(shownNumber(space)), space.isFullScreen,
                                          textAttributes(alpha, kNumberSize), cornerMarkColor)});
            continue;
        }
        ImageRef glyph = rectangleGlyph(space, options, artwork);
        if (style == SkywardStyle::numbersAndRects)
            glyph = numberedRectangleGlyph(
                std::move(glyph), numberString(shownNumber(space)), space.isFullScreen,
                textAttributes(kCurrentNumberAlpha, kCutOutNumberSize), cornerMarkColor);
        glyphs.push_back({std::move(glyph)});
    }

    // Place the glyphs; a change of display between neighbours widens the gap.
    auto layout = std::make_shared<IconLayout>();
    layout->displayCount = spaces.empty() ? 0 : 1;
    std::vector<UrgentMark> urgentMarks;
    double x = 0;
    for (std::size_t i = 0; i < spaces.size(); ++i) {
        glyphs[i].x = x;
        layout->spaceRects[spaces[i].spaceID] = Rect{{x, 0}, kIconSize};
        if (spaces[i].isUrgent)
            urgentMarks.push_back(
                style == SkywardStyle::numbers
                    ? urgentBar(Rect{{x, 0}, kIconSize}, kUrgentBarWidth, kUrgentBarThickness)
                    : urgentDot(Rect{{x, 0}, kIconSize}, kGlyphUrgentDot, kUrgentClearance));
        const bool displayBreak =
            i + 1 < spaces.size() && spaces[i + 1].displayID != spaces[i].displayID;
        if (displayBreak)
            ++layout->displayCount;
        x += kIconSize.width + (displayBreak ? kDisplayGapWidth : kGapWidth);
    }

    // The width counts each display break as both gaps, which leaves 2.5 points of room at
    // the right end per break; the hit rectangles do not cover it.
    const double n = static_cast<double>(spaces.size());
    const double width = spaces.empty()
                             ? 0.0
                             : kIconSize.width * n + kGapWidth * (n - 1) +
                                   kDisplayGapWidth * static_cast<double>(layout->displayCount - 1);
    // The urgent marks keep their colour; the glyphs, templates, follow the bar all the same.
    const bool isTemplate = (style == SkywardStyle::numbers || !customColor) && urgentMarks.empty();
    layout->image = Image::drawn(
        {width, kIconSize.height}, isTemplate,
        [glyphs = std::move(glyphs), marks = std::move(urgentMarks),
         markColor = iconPalette(dark).urgentMark](Canvas& canvas, Rect) {
            for (const auto& glyph : glyphs)
                if (glyph.image)
                    canvas.drawImage(*glyph.image, Rect{{glyph.x, 0}, glyph.image->size()},
                                     CompositingOperation::SourceOver, 1.0);
            for (const auto& mark : marks)
                drawUrgentMark(canvas, mark, markColor);
        });
    return layout;
}

IconLayoutRef IconCreator::createOpenedAppsStrip(const std::vector<Space>& spaces) {
    const bool highContrast = defaults_.boolean(kUseHighContrastBordersKey);
    const bool dark = isDarkAppearance();
    const IconPalette& palette = iconPalette(dark);

    OpenedAppsParameters parameters;
    parameters.lineWidth = highContrast ? kOpenedAppsHighContrastLineWidth : kOpenedAppsLineWidth;
    parameters.currentFullScreenFill = palette.currentFullScreenFill;
    parameters.activeColor = activeColor();
    parameters.outlineColor = highContrast ? palette.outlineHighContrast : palette.outlineNormal;
    parameters.overflowAttributes = {palette.overflowMark,
                                     Font{kOverflowFontSize, FontWeight::Bold, false},
                                     TextAlignment::Left};
    parameters.dark = dark;
    parameters.urgentMarkColor = palette.urgentMark;

    auto layout = std::make_shared<IconLayout>();
    layout->displayCount = spaces.empty() ? 0 : 1;
    double x = 0;
    for (std::size_t i = 0; i < spaces.size(); ++i) {
        layout->spaceRects[spaces[i].spaceID] = Rect{{x, 0}, kOpenedAppsSlotSize};
        x += kOpenedAppsSlotSize.width;
        if (i + 1 == spaces.size())
            break;
        const bool displayBreak = spaces[i + 1].displayID != spaces[i].displayID;
        if (displayBreak)
            ++layout->displayCount;
        x += displayBreak ? kDisplayGapWidth : kGapWidth;
    }

    // The image is drawn lazily, so it keeps its own copy of the rectangles it was laid out
    // with; it cannot hold the layout that holds it.
    layout->image =
        Image::drawn({x, kOpenedAppsSlotSize.height}, false,
                     [spaces, parameters, rects = layout->spaceRects](Canvas& canvas, Rect) {
                         drawOpenedApps(canvas, spaces, rects, parameters);
                     });
    return layout;
}

} // namespace tidemark
