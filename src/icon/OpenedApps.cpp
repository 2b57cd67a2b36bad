#include "icon/OpenedApps.h"

#include "icon/Glyphs.h"
#include "spaces/Space.h"

#include <algorithm>

namespace tidemark {
namespace {

constexpr std::string_view kOverflowMark = "+";

IconCells rowCells(Rect slot, std::size_t count, const OpenedAppsParameters& parameters) {
    const double k = static_cast<double>(count);
    const double p = parameters.iconSpacing;
    const double w = slot.width();
    const double natural = parameters.maxIconEdge * k + p * (k - 1);
    const double f = natural <= w - 2 * p ? 1.0 : (w - 2 * p) / natural;
    const double s = parameters.maxIconEdge * f;
    const double g = p * f;
    const double x0 = slot.minX() + (w - (s * k + g * (k - 1))) / 2;
    const double y0 = slot.minY() + (parameters.slotHeight - s) / 2;
    IconCells cells;
    for (std::size_t i = 0; i < count; ++i)
        cells.icons.push_back({x0 + static_cast<double>(i) * (s + g), y0, s, s});
    return cells;
}

IconCells gridCells(Rect slot, std::size_t count, const OpenedAppsParameters& parameters) {
    const double p = parameters.iconSpacing;
    const double w = slot.width();
    const double h = parameters.slotHeight;
    const std::size_t shown = count <= parameters.maxIconCells
                                  ? count
                                  : std::max<std::size_t>(parameters.maxIconCells, 1) - 1;
    const double c = std::min({parameters.maxIconEdge, (h - 2 * p - p) / 2, (w - 2 * p - p) / 2});
    const double grid = p + 2 * c;
    const double ox = slot.minX() + (w - grid) / 2;
    const double oy = slot.minY() + (h - grid) / 2;
    const double t = p + c;
    IconCells cells;
    for (std::size_t j = 0; j < shown; ++j) {
        const double column = static_cast<double>(j % 2);
        const double row = 1.0 - static_cast<double>(j / 2);
        cells.icons.push_back({ox + t * column, oy + t * row, c, c});
    }
    if (count > parameters.maxIconCells)
        cells.overflow = Rect{ox + t, oy, c, c};
    return cells;
}

void drawSlot(Canvas& canvas, const Space& space, Rect slot,
              const OpenedAppsParameters& parameters) {
    const double lineWidth = parameters.lineWidth;
    const Path body = Path::roundedRect(slot.insetBy(lineWidth / 2, lineWidth / 2),
                                        parameters.cornerRadius, parameters.cornerRadius);
    if (space.isCurrentSpace)
        canvas.fill(body,
                    space.isFullScreen ? parameters.currentFullScreenFill : parameters.activeColor);
    canvas.stroke(body, parameters.outlineColor, {lineWidth, LineCap::Butt});

    if (space.appIcons.empty())
        return;
    const IconCells cells = iconCells(slot, space.appIcons.size(), parameters);
    for (std::size_t i = 0; i < cells.icons.size(); ++i)
        if (const auto& icon = space.appIcons[i])
            canvas.drawImage(*icon, cells.icons[i], CompositingOperation::SourceOver, 1.0);
    if (cells.overflow) {
        const auto& attributes = parameters.overflowAttributes;
        const Size text = canvas.measureText(kOverflowMark, attributes);
        const Rect cell = *cells.overflow;
        canvas.drawText(kOverflowMark,
                        {cell.minX() + (cell.width() - text.width) / 2,
                         cell.minY() + (cell.height() - text.height) / 2, text.width, text.height},
                        attributes);
    }
    if (space.isFullScreen)
        strokeFullScreenCornerMarks(canvas, slot, std::max(1.0, lineWidth),
                                    parameters.outlineColor);
}

} // namespace

IconCells iconCells(Rect slot, std::size_t iconCount, const OpenedAppsParameters& parameters) {
    if (iconCount == 0)
        return {};
    if (iconCount <= 2)
        return rowCells(slot, iconCount, parameters);
    return gridCells(slot, iconCount, parameters);
}

void drawOpenedApps(Canvas& canvas, const std::vector<Space>& spaces,
                    const std::map<std::string, Rect, std::less<>>& spaceRects,
                    const OpenedAppsParameters& parameters) {
    if (spaceRects.empty())
        return;
    for (const auto& space : spaces) {
        const auto it = spaceRects.find(space.spaceID);
        if (it != spaceRects.end())
            drawSlot(canvas, space, it->second, parameters);
    }
    for (const auto& space : spaces) {
        const auto it = spaceRects.find(space.spaceID);
        if (space.isUrgent && it != spaceRects.end())
            drawUrgentMark(canvas,
                           urgentDot(it->second, parameters.urgentDot, parameters.urgentClearance),
                           parameters.urgentMarkColor);
    }
}

} // namespace tidemark
