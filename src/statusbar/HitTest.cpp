#include "statusbar/HitTest.h"

#include <algorithm>
#include <cmath>

namespace tidemark {

Rect imageRectInButton(Size imageSize, Rect bounds, const std::optional<Rect>& cellImageRect) {
    if (cellImageRect)
        return *cellImageRect;
    return {(bounds.width() - imageSize.width) / 2, (bounds.height() - imageSize.height) / 2,
            imageSize.width, imageSize.height};
}

namespace {

// The image's point under `inButton`, x from its left edge, y from its top.
Point inImage(Point inButton, Size imageSize, Rect imageRect) {
    const double sx = imageRect.width() > 0 ? imageSize.width / imageRect.width() : 1;
    const double sy = imageRect.height() > 0 ? imageSize.height / imageRect.height() : 1;
    return {(inButton.x - imageRect.minX()) * sx, (inButton.y - imageRect.minY()) * sy};
}

using SpaceRects = std::map<std::string, Rect, std::less<>>;
using Counts = std::function<bool(const std::string& spaceID)>;

// The counted rectangle whose centre is horizontally nearest to `x`, with its distance.
std::optional<std::pair<SpaceRects::const_iterator, double>>
horizontallyNearest(double x, const SpaceRects& spaceRects, const Counts& counts) {
    std::optional<std::pair<SpaceRects::const_iterator, double>> best;
    for (auto it = spaceRects.begin(); it != spaceRects.end(); ++it) {
        if (counts && !counts(it->first))
            continue;
        const double distance = std::abs(it->second.midX() - x);
        if (!best || distance < best->second)
            best = {it, distance};
    }
    return best;
}

} // namespace

std::optional<std::string> hitTestSpace(Point inButton, Size imageSize, Rect imageRect,
                                        const SpaceRects& spaceRects, const Counts& counts) {
    if (!imageRect.contains(inButton))
        return std::nullopt;
    const Point point = inImage(inButton, imageSize, imageRect);
    // The image's rectangles have their origin at the lower left; which way up the button
    // counts does not matter, a point in either reading hits.
    const Point down = point;
    const Point up{point.x, imageSize.height - point.y};
    for (const auto& [id, rect] : spaceRects)
        if ((!counts || counts(id)) && (rect.contains(down) || rect.contains(up)))
            return id;

    const auto nearest = horizontallyNearest(point.x, spaceRects, counts);
    if (!nearest)
        return std::nullopt;
    const Rect& rect = nearest->first->second;
    const double reach = std::max(rect.width() / 2 + kNearestGlyphSlack, kNearestGlyphMinimumReach);
    if (nearest->second > reach)
        return std::nullopt;
    return nearest->first->first;
}

std::optional<std::string> nearestSpace(Point inButton, Size imageSize, Rect imageRect,
                                        const SpaceRects& spaceRects, const Counts& counts) {
    const auto nearest =
        horizontallyNearest(inImage(inButton, imageSize, imageRect).x, spaceRects, counts);
    if (!nearest)
        return std::nullopt;
    return nearest->first->first;
}

} // namespace tidemark
