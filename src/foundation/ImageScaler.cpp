#include "foundation/ImageScaler.h"

#include <algorithm>
#include <cmath>

namespace tidemark {
namespace {

// The part of source pixel `index` that falls into [begin, end), in source pixel units.
double overlap(int index, double begin, double end) {
    return std::max(0.0, std::min(end, index + 1.0) - std::max(begin, double(index)));
}

} // namespace

ImageRef BitmapImageScaler::scaled(const Image& image, Size size) const {
    const Bitmap* source = image.bitmap();
    const int width = int(std::lround(size.width));
    const int height = int(std::lround(size.height));
    if (!source || source->width <= 0 || source->height <= 0 || width <= 0 || height <= 0 ||
        source->rgba.size() != std::size_t(source->width) * std::size_t(source->height) * 4)
        return nullptr;

    Bitmap target{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4)};
    const double scaleX = double(source->width) / width;
    const double scaleY = double(source->height) / height;
    for (int y = 0; y < height; ++y) {
        const double top = y * scaleY, bottom = (y + 1) * scaleY;
        for (int x = 0; x < width; ++x) {
            const double left = x * scaleX, right = (x + 1) * scaleX;
            double sum[4] = {0, 0, 0, 0};
            double area = 0;
            for (int sy = int(top); sy < source->height && sy < bottom; ++sy) {
                const double wy = overlap(sy, top, bottom);
                for (int sx = int(left); sx < source->width && sx < right; ++sx) {
                    const double weight = wy * overlap(sx, left, right);
                    const auto* pixel = &source->rgba[(std::size_t(sy) * source->width + sx) * 4];
                    for (int c = 0; c < 4; ++c)
                        sum[c] += weight * pixel[c];
                    area += weight;
                }
            }
            auto* out = &target.rgba[(std::size_t(y) * width + x) * 4];
            for (int c = 0; c < 4; ++c)
                out[c] = std::uint8_t(std::clamp(std::lround(sum[c] / area), 0L, 255L));
        }
    }
    return Image::fromBitmap(Size{double(width), double(height)}, std::move(target), image.name());
}

const ImageScaler& bitmapImageScaler() {
    static const BitmapImageScaler scaler;
    return scaler;
}

} // namespace tidemark
