#include "ui/StripPainting.h"

#include "ui/AppearancePalette.h"
#include "ui/ImageRenderer.h"

#include <cmath>

namespace tidemark::ui {

int stripButtonWidth(const Image* image) {
    const double imageWidth = image ? image->size().width : 0;
    return int(std::ceil(imageWidth)) + 2 * kStripButtonMargin;
}

void paintStrip(QPainter& painter, QRect area, QRect button, qreal scale, const StripLook& look,
                QImage& cache) {
    painter.fillRect(area, barBackground(look.appearance));
    if (!look.image)
        return;
    if (look.highlight)
        painter.fillRect(button, *look.highlight);
    if (look.dropTarget) {
        // Behind the glyph, a little larger, so the glyph stays as legible as ever.
        const auto& target = *look.dropTarget;
        const QRectF glyph(button.x() + target.minX(), button.y() + target.minY(), target.width(),
                           target.height());
        QColor fill = look.dropColor;
        fill.setAlphaF(0.45f);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(look.dropColor, 1.5));
        painter.setBrush(fill);
        painter.drawRoundedRect(glyph.adjusted(-3, -2, 3, 2)
                                    .intersected(QRectF(button))
                                    .adjusted(0.75, 0.75, -0.75, -0.75),
                                4, 4);
        painter.restore();
    }
    if (cache.isNull() || !qFuzzyCompare(cache.devicePixelRatio(), scale)) {
        cache = renderImage(*look.image, scale, stripForeground(look.appearance));
        cache.setDevicePixelRatio(scale);
    }
    const auto& image = *look.image;
    const QSizeF size =
        image.size().width > 0 ? QSizeF(image.size().width, image.size().height) : QSizeF();
    const qreal x = std::round((button.x() + (button.width() - size.width()) / 2) * scale) / scale;
    const qreal y = std::round(((button.height() - size.height()) / 2) * scale) / scale;
    painter.drawImage(QPointF(x, y), cache);
}

} // namespace tidemark::ui
