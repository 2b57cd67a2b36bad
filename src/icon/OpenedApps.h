#pragma once

#include "icon/Canvas.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

struct Space;

inline constexpr Size kOpenedAppsSlotSize{31.2, 21.6};

struct OpenedAppsParameters {
    double lineWidth = 1.0;
    double cornerRadius = 3.0;
    Color currentFullScreenFill;
    Color activeColor;
    Color outlineColor;
    std::size_t maxIconCells = 4;
    double iconSpacing = 1.0;
    double slotHeight = kOpenedAppsSlotSize.height;
    double maxIconEdge = 20.0;
    TextAttributes overflowAttributes;
    bool dark = false;
    Color urgentMarkColor;
    double urgentDot = 6;
    double urgentClearance = 1;
};

// Where the app icons of one slot go: a centred row for one or two icons, a 2 × 2 grid for
// more, whose last cell shows "+" when not every icon fits.
struct IconCells {
    std::vector<Rect> icons;
    std::optional<Rect> overflow;
};

IconCells iconCells(Rect slot, std::size_t iconCount, const OpenedAppsParameters& parameters);

// Paints every space that has a rectangle in `spaceRects`.
void drawOpenedApps(Canvas& canvas, const std::vector<Space>& spaces,
                    const std::map<std::string, Rect, std::less<>>& spaceRects,
                    const OpenedAppsParameters& parameters);

} // namespace tidemark
