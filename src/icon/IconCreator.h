#pragma once

#include "foundation/Color.h"
#include "foundation/Image.h"
#include "icon/Canvas.h"
#include "icon/IconLayout.h"
#include "icon/SkywardStyle.h"
#include "spaces/Workspace.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

struct Space;
class ImageCatalog;
class SettingsStore;
class Value;

// Builds the strip image of one snapshot and the hit rectangle of every space in it.
class IconCreator {
public:
    using AppearanceSource = std::function<Appearance()>;

    IconCreator(SettingsStore& defaults, const ImageCatalog& catalog, AppearanceSource appearance);

    // An empty list gives an image of width 0 and no rectangles.
    IconLayoutRef createIcon(const std::vector<Space>& spaces);

    // The stored custom colour, else the default of the current appearance.
    Color activeColor() const;
    bool hasCustomActiveColor() const;
    // Black text of the given opacity and size, centred; cached by both.
    const TextAttributes& textAttributes(double alpha, double size);
    bool isDarkAppearance() const;

    Size iconSize() const { return kIconSize; }
    double gapWidth() const { return kGapWidth; }
    double displayGapWidth() const { return kDisplayGapWidth; }
    std::size_t attributesCacheSize() const { return attributesCache_.size(); }

    static constexpr double kGapWidth = 2.5;
    static constexpr double kDisplayGapWidth = 7.5;
    static constexpr Size kIconSize{18, 12};

private:
    SkywardStyle readStyle();
    IconLayoutRef createGlyphStrip(const std::vector<Space>& spaces, SkywardStyle style);
    IconLayoutRef createOpenedAppsStrip(const std::vector<Space>& spaces);

    SettingsStore& defaults_;
    const ImageCatalog& catalog_;
    AppearanceSource appearance_;
    const TextAlignment textParagraphStyle_ = TextAlignment::Center;
    const Font textFont10_{10, FontWeight::Bold, true};
    const Font textFont12_{12, FontWeight::Bold, true};
    std::map<std::string, TextAttributes, std::less<>> attributesCache_;
};

// The cache key of a text attribute set: "1.0_12.0", "0.4_12.0", "1.0_10.0".
std::string textAttributesKey(double alpha, double size);

} // namespace tidemark
