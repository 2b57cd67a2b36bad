#include "ui/AppIcon.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

// Resources of a static library are registered by hand, outside any namespace.
static void registerArtwork() {
    Q_INIT_RESOURCE(tidemark);
}

namespace tidemark::ui {

QPixmap appIcon(int size, qreal scale) {
    static const bool registered = (registerArtwork(), true);
    (void)registered;
    const int pixels = int(std::ceil(size * scale));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer artwork(QStringLiteral(":/tidemark/tidemark.svg"));
    if (artwork.isValid()) {
        QPainter painter(&pixmap);
        artwork.render(&painter, QRectF(0, 0, pixels, pixels));
    }
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

} // namespace tidemark::ui
