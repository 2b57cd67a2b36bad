#pragma once

#include "foundation/Image.h"

namespace tidemark {

// Redraws an image into a bitmap of a given size in points (one pixel per point). Answers
// nothing when the image cannot be redrawn; the caller then keeps the original.
class ImageScaler {
public:
    virtual ~ImageScaler() = default;
    virtual ImageRef scaled(const Image& image, Size size) const = 0;
};

// Scales bitmap-backed images by area averaging, in plain C++. Drawn images have no pixels
// to read here and are refused. The name of the source is kept.
class BitmapImageScaler final : public ImageScaler {
public:
    ImageRef scaled(const Image& image, Size size) const override;
};

// A stateless instance for owners that are given no scaler.
const ImageScaler& bitmapImageScaler();

} // namespace tidemark
