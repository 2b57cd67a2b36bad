#include "statusbar/HitTest.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tidemark {

Rect imageRectInButton(Size imageSize, Rect bounds, const std::optional<Rect>& cellImageRect) {
    if (cellImageRect)
        return *cellImageRect;
    return {(bounds.width() - imageSize.width) / 2, (bounds.height() - imageSize.height) / 2,
            imageSize.width, imageSize.height};
}

std::optional<std::string>
hitTestSpace(Point inButton, Size imageSize, Rect imageRect,
             const std::map<std::string, Rect, std::less<>>& spaceRects,
             const std::function<bool(const std::string& spaceID)>& counts) {
    if (!imageRect.contains(inButton))
        return std::nullopt;
    const double sx = imageRect.width() > 0 ? imageSize.width / imageRect.width() : 1;
    const double sy = imageRect.height() > 0 ? imageSize.height / imageRect.height() : 1;
    const double lx = (inButton.x - imageRect.minX()) * sx;
    const double ly = (inButton.y - imageRect.minY()) * sy;
    // The image's rectangles have their origin at the lower left; which way up the button
    // counts does not matter, a point in either reading hits.
    const Point down{lx, ly};
    const Point up{lx, imageSize.height - ly};
    const auto eligible = [&](const std::string& id) { return !counts || counts(id); };

    for (const auto& [id, rect] : spaceRects)
        if (eligible(id) && (rect.contains(down) || rect.contains(up)))
            return id;

    const std::string* nearest = nullptr;
    double best = std::numeric_limits<double>::infinity();
    const Rect* bestRect = nullptr;
    for (const auto& [id, rect] : spaceRects) {
        if (!eligible(id))
            continue;
        const double distance = std::abs(rect.midX() - lx);
        if (distance < best) {
            best = distance;
            nearest = &id;
            bestRect = &rect;
        }
    }
    if (!nearest)
        return std::nullopt;
    const double reach =
        std::max(bestRect->width() / 2 + kNearestGlyphSlack, kNearestGlyphMinimumReach);
    if (best > reach)
        return std::nullopt;
    return *nearest;
}

} // namespace tidemark
