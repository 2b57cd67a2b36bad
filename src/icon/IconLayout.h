#pragma once

#include "foundation/Geometry.h"
#include "foundation/Image.h"

#include <map>
#include <memory>
#include <string>

namespace tidemark {

// One strip image and what hit testing needs of it, made together and never changed.
struct IconLayout {
    ImageRef image;
    // Hit rectangle of each space in the image, keyed by space identifier, in points with the
    // origin at the image's lower left.
    std::map<std::string, Rect, std::less<>> spaceRects;
    // Runs of neighbouring spaces on the same display; 0 for no spaces.
    int displayCount = 0;
};

using IconLayoutRef = std::shared_ptr<const IconLayout>;

} // namespace tidemark
