#pragma once

#include "foundation/Color.h"

#include <cstdint>
#include <string>

namespace tidemark {

// The appearance-dependent colours of the strip, one set per appearance.
struct IconPalette {
    Color defaultActiveSpace;
    Color fullScreenCornerMark;  // numbers and numbered-rectangle styles
    Color outlineNormal;         // opened apps
    Color outlineHighContrast;   // opened apps, pronounced borders
    Color currentFullScreenFill; // opened apps
    Color overflowMark;          // opened apps, the "+"
    Color urgentMark;            // every style: a space whose window asks for attention
};

const IconPalette& iconPalette(bool dark);

// Decimal text of a space number; 1 to 64 come from a process-wide cache, any other number
// is formatted on the spot.
std::string numberString(std::int64_t number);

} // namespace tidemark
