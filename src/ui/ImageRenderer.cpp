#include "ui/ImageRenderer.h"

#include "ui/QtCanvas.h"

#include <QPainter>
#include <cmath>

namespace tidemark::ui {
namespace {

// Fonts are sized in points; a 72 dpi device makes one point one unit before scaling.
constexpr int kDotsPerMeterAt72Dpi = 2835;

int pixelExtent(double points, double scale) {
    return static_cast<int>(std::ceil(points * scale - 1e-6));
}

} // namespace

Color stripForeground(Appearance appearance) {
    // Opaque, so that tinting a template nested in another template changes nothing more.
    return appearance == Appearance::Dark ? Color::white() : Color::black();
}

QImage renderImage(const Image& image, double scale, Color templateForeground) {
    return renderImage(image, scale, scale, templateForeground);
}

QImage renderImage(const Image& image, double scaleX, double scaleY, Color templateForeground) {
    const int width = std::max(0, pixelExtent(image.size().width, scaleX));
    const int height = std::max(0, pixelExtent(image.size().height, scaleY));
    QImage pixels(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
    pixels.setDotsPerMeterX(kDotsPerMeterAt72Dpi);
    pixels.setDotsPerMeterY(kDotsPerMeterAt72Dpi);
    pixels.fill(Qt::transparent);
    if (width == 0 || height == 0)
        return pixels.copy(0, 0, width, height);
    {
        QPainter painter(&pixels);
        painter.translate(0, height);
        painter.scale(scaleX, -scaleY);
        QtCanvas canvas(painter, templateForeground);
        const Rect bounds{{0, 0}, image.size()};
        if (const auto* drawing = image.drawing())
            (*drawing)(canvas, bounds);
        else if (image.bitmap())
            canvas.drawImage(image, bounds, CompositingOperation::SourceOver, 1.0);
    }
    if (image.isTemplate())
        tintTemplate(pixels, templateForeground);
    return pixels;
}

void tintTemplate(QImage& pixels, Color foreground) {
    QPainter painter(&pixels);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixels.rect(), QColor::fromRgbF(static_cast<float>(foreground.red),
                                                     static_cast<float>(foreground.green),
                                                     static_cast<float>(foreground.blue),
                                                     static_cast<float>(foreground.alpha)));
}

} // namespace tidemark::ui
