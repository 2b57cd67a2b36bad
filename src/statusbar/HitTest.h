#pragma once

#include "foundation/Geometry.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tidemark {

// Where the image sits in the button: the cell's rectangle when the button has a cell that
// decides, else the image centred in the bounds.
Rect imageRectInButton(Size imageSize, Rect bounds, const std::optional<Rect>& cellImageRect);

// How far from a glyph's centre a point still selects it when it hits no glyph.
inline constexpr double kNearestGlyphSlack = 4.0;
inline constexpr double kNearestGlyphMinimumReach = 8.0;

// The space whose glyph is under `inButton` (button coordinates, y down). A point inside the
// image that hits no rectangle selects the glyph whose centre is horizontally nearest, when
// it is close enough. Only rectangles whose id `counts` take part (all when it is empty).
std::optional<std::string>
hitTestSpace(Point inButton, Size imageSize, Rect imageRect,
             const std::map<std::string, Rect, std::less<>>& spaceRects,
             const std::function<bool(const std::string& spaceID)>& counts = {});

// The space whose glyph's centre is horizontally nearest to `inButton`, however far: the
// wheel anywhere over the strip turns some display's spaces.
std::optional<std::string>
nearestSpace(Point inButton, Size imageSize, Rect imageRect,
             const std::map<std::string, Rect, std::less<>>& spaceRects,
             const std::function<bool(const std::string& spaceID)>& counts = {});

} // namespace tidemark
