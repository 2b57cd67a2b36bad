#include "foundation/ImageScaler.h"

#include <algorithm>
#include <cmath>

namespace tidemark {
namespace {

// The part of source pixel `index` that falls into [begin, end), in source pixel units.
double overlap(int index, double begin, double end) {
    return std::max(0.0, std::min(end, index + 1.0) - std::max(begin, double(index)));
}

// The source pixels one target pixel covers along one axis, with their shares.
struct Span {
    int first = 0;
    std::vector<double> weights;
};

// Computed once per axis rather than once per pixel.
std::vector<Span> spansAlong(int sourceLength, int targetLength) {
    const double scale = double(sourceLength) / targetLength;
    std::vector<Span> spans(static_cast<std::size_t>(targetLength));
    for (int t = 0; t < targetLength; ++t) {
        const double begin = t * scale, end = (t + 1) * scale;
        auto& span = spans[std::size_t(t)];
        span.first = int(begin);
        for (int s = span.first; s < sourceLength && s < end; ++s)
            span.weights.push_back(overlap(s, begin, end));
    }
    return spans;
}

// Rounds half away from zero like std::lround, without the library call, for the
// non-negative averages here.
std::uint8_t roundToByte(double value) {
    auto whole = static_cast<long>(value);
    if (value - double(whole) >= 0.5)
        ++whole;
    return std::uint8_t(std::clamp(whole, 0L, 255L));
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
    const auto columns = spansAlong(source->width, width);
    const auto rows = spansAlong(source->height, height);
    auto* out = target.rgba.data();
    for (const auto& row : rows) {
        for (const auto& column : columns) {
            if (row.weights.size() == 1 && column.weights.size() == 1) {
                // Inside one source pixel (most of an enlargement): the average is that
                // pixel, and rounding the weighted quotient would give it back anyway.
                const auto* pixel =
                    &source->rgba[(std::size_t(row.first) * source->width + column.first) * 4];
                out = std::copy(pixel, pixel + 4, out);
                continue;
            }
            double sum[4] = {0, 0, 0, 0};
            double area = 0;
            for (std::size_t j = 0; j < row.weights.size(); ++j) {
                const double wy = row.weights[j];
                const auto* pixel =
                    &source
                         ->rgba[((std::size_t(row.first) + j) * source->width + column.first) * 4];
                for (const double wx : column.weights) {
                    const double weight = wy * wx;
                    for (int c = 0; c < 4; ++c)
                        sum[c] += weight * pixel[c];
                    area += weight;
                    pixel += 4;
                }
            }
            for (int c = 0; c < 4; ++c)
                *out++ = roundToByte(sum[c] / area);
        }
    }
    return Image::fromBitmap(Size{double(width), double(height)}, std::move(target), image.name());
}

const ImageScaler& bitmapImageScaler() {
    static const BitmapImageScaler scaler;
    return scaler;
}

} // namespace tidemark
