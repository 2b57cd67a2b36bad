#include "ui/SpriteCache.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace tidemark::ui {
namespace {

constexpr std::size_t kMaxSprites = 512;
// Positions and sizes are told apart to 1/256 of a pixel, far below what coverage shows.
constexpr double kQuantum = 256;

long quantized(double value) {
    return std::lround(value * kQuantum);
}

unsigned long long packedColor(Color color) {
    const auto channel = [](double c) {
        return static_cast<unsigned long long>(std::lround(std::clamp(c, 0.0, 1.0) * 65535));
    };
    return channel(color.red) << 48 | channel(color.green) << 32 | channel(color.blue) << 16 |
           channel(color.alpha);
}

// Pixels per point when the transform is a uniform scale (either sign) and a translation.
std::optional<double> uniformScale(const QTransform& device) {
    if (device.type() > QTransform::TxScale)
        return std::nullopt;
    const double sx = std::fabs(device.m11());
    const double sy = std::fabs(device.m22());
    if (sx <= 0 || std::fabs(sx - sy) > 1e-9)
        return std::nullopt;
    return sx;
}

// Where a device rectangle lands in a sprite with `pad` clear pixels around it.
struct Placement {
    QPoint origin;
    QPointF phase;
    QSize size;
};

Placement place(const QRectF& deviceRect, int pad) {
    const int left = static_cast<int>(std::floor(deviceRect.left())) - pad;
    const int top = static_cast<int>(std::floor(deviceRect.top())) - pad;
    const QPointF phase(deviceRect.left() - left, deviceRect.top() - top);
    const QSize size(static_cast<int>(std::ceil(phase.x() + deviceRect.width())) + pad,
                     static_cast<int>(std::ceil(phase.y() + deviceRect.height())) + pad);
    return {{left, top}, phase, size};
}

QImage clearSprite(QSize size) {
    QImage pixels(size, QImage::Format_ARGB32_Premultiplied);
    pixels.fill(Qt::transparent);
    return pixels;
}

} // namespace

SpriteCache& SpriteCache::shared() {
    static SpriteCache cache;
    return cache;
}

const QImage& SpriteCache::remember(Key key, Entry entry) {
    std::erase_if(sprites_, [](const auto& item) { return item.second.isStale(); });
    if (sprites_.size() >= kMaxSprites)
        sprites_.clear();
    return sprites_.insert_or_assign(std::move(key), std::move(entry)).first->second.pixels;
}

std::optional<SpriteCache::Sprite> SpriteCache::roundedRect(const QTransform& device,
                                                            const Path::RoundedRect& shape,
                                                            Color color,
                                                            std::optional<StrokeStyle> stroke) {
    const auto scale = uniformScale(device);
    if (!scale)
        return std::nullopt;
    const QRectF deviceRect = device.mapRect(
        QRectF(shape.rect.minX(), shape.rect.minY(), shape.rect.width(), shape.rect.height()));
    const double lineWidth = stroke ? stroke->lineWidth * *scale : 0;
    // Room for half the line and a miter, plus a pixel of coverage.
    const int pad = static_cast<int>(std::ceil(lineWidth)) + 1;
    const Placement placement = place(deviceRect, pad);
    const double radiusX = shape.radiusX * *scale;
    const double radiusY = shape.radiusY * *scale;
    const int cap = stroke ? (stroke->cap == LineCap::Round ? 2 : 1) : 0;
    Key key{0,
            nullptr,
            quantized(placement.phase.x()),
            quantized(placement.phase.y()),
            quantized(deviceRect.width()),
            quantized(deviceRect.height()),
            quantized(radiusX),
            quantized(radiusY),
            packedColor(color),
            quantized(lineWidth),
            cap};
    if (const auto it = sprites_.find(key); it != sprites_.end())
        return Sprite{&it->second.pixels, placement.origin};

    QImage pixels = clearSprite(placement.size);
    {
        QPainter painter(&pixels);
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath path;
        path.addRoundedRect(QRectF(placement.phase, deviceRect.size()), radiusX, radiusY);
        const QColor qcolor =
            QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                             static_cast<float>(color.blue), static_cast<float>(color.alpha));
        if (stroke)
            painter.strokePath(path, QPen(qcolor, lineWidth, Qt::SolidLine,
                                          cap == 2 ? Qt::RoundCap : Qt::FlatCap, Qt::MiterJoin));
        else
            painter.fillPath(path, qcolor);
    }
    return Sprite{&remember(std::move(key), {std::move(pixels), std::nullopt}), placement.origin};
}

std::optional<SpriteCache::Sprite> SpriteCache::bitmap(const QTransform& device,
                                                       const std::shared_ptr<const Bitmap>& bitmap,
                                                       const QImage& pixels, Rect rect) {
    if (!bitmap || !uniformScale(device))
        return std::nullopt;
    const QRectF deviceRect =
        device.mapRect(QRectF(rect.minX(), rect.minY(), rect.width(), rect.height()));
    const Placement placement = place(deviceRect, 1);
    Key key{1,
            bitmap.get(),
            quantized(placement.phase.x()),
            quantized(placement.phase.y()),
            quantized(deviceRect.width()),
            quantized(deviceRect.height()),
            0,
            0,
            0,
            0,
            0};
    if (const auto it = sprites_.find(key); it != sprites_.end() && !it->second.isStale())
        return Sprite{&it->second.pixels, placement.origin};

    QImage sprite = clearSprite(placement.size);
    {
        QPainter painter(&sprite);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        // Device space runs downwards like the bitmap's rows, so no flip is needed here.
        painter.drawImage(QRectF(placement.phase, deviceRect.size()), pixels);
    }
    return Sprite{&remember(std::move(key), {std::move(sprite), bitmap}), placement.origin};
}

} // namespace tidemark::ui
