#include "ui/QtCanvas.h"

#include "ui/ImageRenderer.h"
#include "ui/QtFonts.h"
#include "ui/SpriteCache.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <type_traits>

namespace tidemark::ui {
namespace {

QColor toQColor(Color color) {
    return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                            static_cast<float>(color.blue), static_cast<float>(color.alpha));
}

QPainter::CompositionMode toQMode(CompositingOperation operation) {
    switch (operation) {
    case CompositingOperation::SourceOver:
        return QPainter::CompositionMode_SourceOver;
    case CompositingOperation::DestinationOut:
        return QPainter::CompositionMode_DestinationOut;
    }
    return QPainter::CompositionMode_SourceOver;
}

QPainterPath toQPath(const Path& path) {
    QPainterPath result;
    for (const auto& element : path.elements()) {
        std::visit(
            [&result](const auto& e) {
                using E = std::decay_t<decltype(e)>;
                if constexpr (std::is_same_v<E, Path::MoveTo>)
                    result.moveTo(e.point.x, e.point.y);
                else if constexpr (std::is_same_v<E, Path::LineTo>)
                    result.lineTo(e.point.x, e.point.y);
                else
                    result.addRoundedRect(
                        QRectF(e.rect.minX(), e.rect.minY(), e.rect.width(), e.rect.height()),
                        e.radiusX, e.radiusY);
            },
            element);
    }
    return result;
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Draws pixels whose first row is the top into `rect` of the y-up coordinate system.
void drawPixels(QPainter& painter, const QImage& pixels, Rect rect) {
    painter.save();
    painter.translate(rect.minX(), rect.maxY());
    painter.scale(1, -1);
    painter.drawImage(QRectF(0, 0, rect.width(), rect.height()), pixels);
    painter.restore();
}

QImage bitmapPixels(const Bitmap& bitmap) {
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.rgba.size() < static_cast<std::size_t>(bitmap.width) * bitmap.height * 4)
        return {};
    // Wraps the bytes without copying; they outlive the draw call.
    return QImage(bitmap.rgba.data(), bitmap.width, bitmap.height, bitmap.width * 4,
                  QImage::Format_RGBA8888_Premultiplied);
}

// A single rounded rectangle, the shape strips repeat.
const Path::RoundedRect* soleRoundedRect(const Path& path) {
    if (path.elements().size() != 1)
        return nullptr;
    return std::get_if<Path::RoundedRect>(&path.elements().front());
}

void blit(QPainter& painter, const SpriteCache::Sprite& sprite) {
    painter.save();
    painter.resetTransform();
    painter.drawImage(sprite.origin, *sprite.pixels);
    painter.restore();
}

} // namespace

QtCanvas::QtCanvas(QPainter& painter, Color templateForeground)
    : painter_(painter), templateForeground_(templateForeground) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void QtCanvas::fill(const Path& path, Color color) {
    if (const auto* shape = soleRoundedRect(path)) {
        if (const auto sprite = SpriteCache::shared().roundedRect(painter_.deviceTransform(),
                                                                  *shape, color, std::nullopt))
            return blit(painter_, *sprite);
    }
    painter_.fillPath(toQPath(path), toQColor(color));
}

void QtCanvas::stroke(const Path& path, Color color, StrokeStyle style) {
    if (const auto* shape = soleRoundedRect(path)) {
        if (const auto sprite =
                SpriteCache::shared().roundedRect(painter_.deviceTransform(), *shape, color, style))
            return blit(painter_, *sprite);
    }
    QPen pen(toQColor(color), style.lineWidth, Qt::SolidLine,
             style.cap == LineCap::Round ? Qt::RoundCap : Qt::FlatCap, Qt::MiterJoin);
    painter_.strokePath(toQPath(path), pen);
}

void QtCanvas::drawImage(const Image& image, Rect rect, CompositingOperation operation,
                         double opacity) {
    if (rect.width() <= 0 || rect.height() <= 0 || image.size().width <= 0 ||
        image.size().height <= 0)
        return;
    QImage pixels;
    if (const auto* bitmap = image.bitmap()) {
        pixels = bitmapPixels(*bitmap);
        if (!image.isTemplate() && !pixels.isNull()) {
            if (const auto sprite = SpriteCache::shared().bitmap(
                    painter_.deviceTransform(), image.sharedBitmap(), pixels, rect)) {
                painter_.save();
                painter_.setCompositionMode(toQMode(operation));
                painter_.setOpacity(painter_.opacity() * opacity);
                blit(painter_, *sprite);
                painter_.restore();
                return;
            }
        }
        if (image.isTemplate() && !pixels.isNull()) {
            pixels = pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            tintTemplate(pixels, templateForeground_);
        }
    } else if (image.drawing()) {
        // A layer of its own at the device resolution of the target rectangle.
        const QTransform device = painter_.deviceTransform();
        const double pixelsWide =
            std::ceil(rect.width() * std::hypot(device.m11(), device.m12()) - 1e-6);
        const double pixelsHigh =
            std::ceil(rect.height() * std::hypot(device.m21(), device.m22()) - 1e-6);
        if (pixelsWide < 1 || pixelsHigh < 1)
            return;
        pixels = renderImage(image, pixelsWide / image.size().width,
                             pixelsHigh / image.size().height, templateForeground_);
    }
    if (pixels.isNull())
        return;
    painter_.save();
    painter_.setCompositionMode(toQMode(operation));
    painter_.setOpacity(painter_.opacity() * opacity);
    drawPixels(painter_, pixels, rect);
    painter_.restore();
}

void QtCanvas::drawText(std::string_view text, Rect rect, const TextAttributes& attributes) {
    painter_.save();
    painter_.setFont(systemFont(attributes.font));
    painter_.setPen(toQColor(attributes.foreground));
    painter_.translate(rect.minX(), rect.maxY());
    painter_.scale(1, -1);
    const int alignment =
        Qt::AlignTop |
        (attributes.alignment == TextAlignment::Center ? Qt::AlignHCenter : Qt::AlignLeft);
    painter_.drawText(QRectF(0, 0, rect.width(), rect.height()), alignment | Qt::TextDontClip,
                      toQString(text));
    painter_.restore();
}

Size QtCanvas::measureText(std::string_view text, const TextAttributes& attributes) {
    const QFontMetricsF metrics(systemFont(attributes.font), painter_.device());
    return {metrics.horizontalAdvance(toQString(text)), metrics.height()};
}

void QtCanvas::setCompositingOperation(CompositingOperation operation) {
    painter_.setCompositionMode(toQMode(operation));
}

void QtCanvas::save() {
    painter_.save();
}

void QtCanvas::restore() {
    painter_.restore();
}

} // namespace tidemark::ui
