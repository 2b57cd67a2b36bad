#include "ui/popover/PopoverSymbols.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <map>
#include <tuple>

namespace tidemark::ui {
namespace {

// Symbolic theme icons of the same meaning; the others have no counterpart that reads the
// same, and are always drawn.
const char* themeName(Symbol symbol) {
    switch (symbol) {
    case Symbol::Trash:
        return "user-trash-symbolic";
    case Symbol::XMark:
        return "window-close-symbolic";
    case Symbol::MoonZzz:
        return "weather-clear-night-symbolic";
    default:
        return nullptr;
    }
}

QPixmap blankPixmap(int size, qreal scale) {
    const int pixels = int(std::ceil(size * scale));
    QPixmap pixmap(pixels, pixels);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A four-pointed star centred at `c` with outer radius `r`.
QPainterPath star(QPointF c, qreal r) {
    QPainterPath path;
    const qreal w = r * 0.28;
    path.moveTo(c.x(), c.y() - r);
    path.quadTo(c.x() + w * 0.3, c.y() - w * 0.3, c.x() + r, c.y());
    path.quadTo(c.x() + w * 0.3, c.y() + w * 0.3, c.x(), c.y() + r);
    path.quadTo(c.x() - w * 0.3, c.y() + w * 0.3, c.x() - r, c.y());
    path.quadTo(c.x() - w * 0.3, c.y() - w * 0.3, c.x(), c.y() - r);
    return path;
}

QPainterPath checkmark(qreal s) {
    QPainterPath path;
    path.moveTo(s * 0.30, s * 0.52);
    path.lineTo(s * 0.44, s * 0.66);
    path.lineTo(s * 0.71, s * 0.36);
    return path;
}

void drawShape(QPainter& p, Symbol symbol, qreal s, const QColor& color, qreal line) {
    QPen pen(color, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (symbol) {
    case Symbol::Window: {
        const QRectF frame(s * 0.08, s * 0.16, s * 0.84, s * 0.68);
        p.drawRoundedRect(frame, s * 0.1, s * 0.1);
        p.drawLine(QPointF(frame.left(), s * 0.34), QPointF(frame.right(), s * 0.34));
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(s * (0.2 + 0.09 * i), s * 0.25), s * 0.03, s * 0.03);
        break;
    }
    case Symbol::OtherDesktops:
        p.drawRoundedRect(QRectF(s * 0.1, s * 0.12, s * 0.8, s * 0.34), s * 0.06, s * 0.06);
        p.drawRoundedRect(QRectF(s * 0.1, s * 0.56, s * 0.35, s * 0.32), s * 0.06, s * 0.06);
        p.drawRoundedRect(QRectF(s * 0.55, s * 0.56, s * 0.35, s * 0.32), s * 0.06, s * 0.06);
        break;
    case Symbol::MemoryChip: {
        const QRectF body(s * 0.2, s * 0.22, s * 0.6, s * 0.56);
        p.drawRoundedRect(body, s * 0.06, s * 0.06);
        for (int i = 0; i < 2; ++i) {
            const qreal x = s * (0.38 + 0.24 * i);
            p.drawLine(QPointF(x, s * 0.06), QPointF(x, s * 0.2));
            p.drawLine(QPointF(x, s * 0.8), QPointF(x, s * 0.94));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawRect(QRectF(s * 0.37, s * 0.4, s * 0.26, s * 0.2));
        break;
    }
    case Symbol::WandAndStars:
        pen.setWidthF(line * 1.3);
        p.setPen(pen);
        p.drawLine(QPointF(s * 0.12, s * 0.9), QPointF(s * 0.62, s * 0.4));
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(star(QPointF(s * 0.66, s * 0.2), s * 0.17));
        p.drawPath(star(QPointF(s * 0.86, s * 0.56), s * 0.12));
        p.drawPath(star(QPointF(s * 0.32, s * 0.2), s * 0.1));
        break;
    case Symbol::CheckmarkCircleFill: {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92));
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(QPen(Qt::black, line * 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(checkmark(s));
        break;
    }
    case Symbol::CheckmarkCircle:
        p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
        p.drawPath(checkmark(s));
        break;
    case Symbol::Trash: {
        p.drawLine(QPointF(s * 0.14, s * 0.24), QPointF(s * 0.86, s * 0.24));
        p.drawLine(QPointF(s * 0.38, s * 0.24), QPointF(s * 0.4, s * 0.1));
        p.drawLine(QPointF(s * 0.4, s * 0.1), QPointF(s * 0.6, s * 0.1));
        p.drawLine(QPointF(s * 0.6, s * 0.1), QPointF(s * 0.62, s * 0.24));
        QPainterPath can;
        can.moveTo(s * 0.22, s * 0.3);
        can.lineTo(s * 0.28, s * 0.9);
        can.lineTo(s * 0.72, s * 0.9);
        can.lineTo(s * 0.78, s * 0.3);
        p.drawPath(can);
        break;
    }
    case Symbol::MoonZzz: {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        QPainterPath moon;
        moon.addEllipse(QRectF(s * 0.04, s * 0.3, s * 0.64, s * 0.64));
        QPainterPath bite;
        bite.addEllipse(QRectF(s * 0.3, s * 0.14, s * 0.6, s * 0.6));
        p.drawPath(moon.subtracted(bite));
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const auto zed = [&](qreal x, qreal y, qreal w) {
            QPainterPath z;
            z.moveTo(x, y);
            z.lineTo(x + w, y);
            z.lineTo(x, y + w);
            z.lineTo(x + w, y + w);
            p.drawPath(z);
        };
        zed(s * 0.6, s * 0.06, s * 0.3);
        zed(s * 0.72, s * 0.48, s * 0.2);
        break;
    }
    case Symbol::XMark:
        p.drawLine(QPointF(s * 0.2, s * 0.2), QPointF(s * 0.8, s * 0.8));
        p.drawLine(QPointF(s * 0.8, s * 0.2), QPointF(s * 0.2, s * 0.8));
        break;
    }
}

QPixmap tintedThemeIcon(const char* name, int size, const QColor& color, qreal scale) {
    if (!name || !QIcon::hasThemeIcon(QString::fromLatin1(name)))
        return {};
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    QPixmap pixmap = blankPixmap(size, scale);
    QPainter painter(&pixmap);
    icon.paint(&painter, QRect(0, 0, size, size));
    // Symbolic icons are drawn in one grey: only their shape counts.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRect(0, 0, size, size), color);
    return pixmap;
}

} // namespace

QPixmap drawnSymbol(Symbol symbol, int size, const QColor& color, qreal scale, bool bold) {
    QPixmap pixmap = blankPixmap(size, scale);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal line = std::max(1.0, size * (bold ? 0.16 : 0.1));
    drawShape(painter, symbol, size, color, line);
    return pixmap;
}

QPixmap symbolPixmap(Symbol symbol, int size, const QColor& color, qreal scale, bool bold) {
    using Key = std::tuple<int, int, QRgb, int, bool>;
    // Never destroyed: pixmaps must not outlive the application object, which may go first.
    static auto& cache = *new std::map<Key, QPixmap>;
    const Key key{int(symbol), size, color.rgba(), int(std::lround(scale * 100)), bold};
    if (const auto it = cache.find(key); it != cache.end())
        return it->second;
    QPixmap pixmap = tintedThemeIcon(themeName(symbol), size, color, scale);
    if (pixmap.isNull())
        pixmap = drawnSymbol(symbol, size, color, scale, bold);
    if (cache.size() > 512)
        cache.clear();
    return cache.emplace(key, pixmap).first->second;
}

} // namespace tidemark::ui
