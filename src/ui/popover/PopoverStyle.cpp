#include "ui/popover/PopoverStyle.h"

#include "ui/Typography.h"

#include <QApplication>
#include <QFontDatabase>
#include <cmath>

namespace tidemark::ui {

bool isDarkPalette(const QWidget& widget) {
    return widget.palette().color(QPalette::Window).lightness() < 128;
}

QColor namedColor(NamedColor name, const QWidget& widget, qreal opacity) {
    const bool dark = isDarkPalette(widget);
    QColor color;
    switch (name) {
    case NamedColor::Green:
        color = dark ? QColor(48, 209, 88) : QColor(52, 199, 89);
        break;
    case NamedColor::Gray:
        color = QColor(142, 142, 147);
        break;
    case NamedColor::Orange:
        color = dark ? QColor(255, 159, 10) : QColor(255, 149, 0);
        break;
    case NamedColor::Red:
        color = dark ? QColor(255, 69, 58) : QColor(255, 59, 48);
        break;
    case NamedColor::Yellow:
        color = dark ? QColor(255, 214, 10) : QColor(255, 204, 0);
        break;
    case NamedColor::Indigo:
        color = dark ? QColor(94, 92, 230) : QColor(88, 86, 214);
        break;
    case NamedColor::White:
        color = Qt::white;
        break;
    }
    color.setAlphaF(float(opacity));
    return color;
}

QColor primaryColor(const QWidget& widget, qreal opacity) {
    QColor color = widget.palette().color(QPalette::WindowText);
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

QColor secondaryColor(const QWidget& widget, qreal opacity) {
    QColor color = secondaryTextColor(widget);
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

QColor blend(const QColor& from, const QColor& to, qreal t) {
    const auto mix = [t](float a, float b) { return float(a + (b - a) * t); };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                            mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

QFont popoverFont(int size, QFont::Weight weight, bool monospaced) {
    QFont font =
        monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QApplication::font();
    font.setPixelSize(size);
    font.setWeight(weight);
    return font;
}

void warmUpFonts(qreal scale) {
    struct Face {
        int size;
        QFont::Weight weight;
        bool monospaced;
    };
    static constexpr Face faces[] = {
        {9, QFont::Normal, false},  {10, QFont::Normal, false},   {10, QFont::Normal, true},
        {10, QFont::Medium, false}, {10, QFont::DemiBold, false}, {10, QFont::Medium, true},
        {11, QFont::Normal, false}, {11, QFont::Medium, false},   {11, QFont::Normal, true},
        {12, QFont::Normal, false}, {13, QFont::DemiBold, false}};
    QImage scratch(8, 8, QImage::Format_ARGB32_Premultiplied);
    scratch.setDevicePixelRatio(scale);
    QPainter painter(&scratch);
    for (const auto& face : faces) {
        painter.setFont(popoverFont(face.size, face.weight, face.monospaced));
        painter.drawText(QPointF(0, 8), QStringLiteral("Desktop 0123456789 MB GB used of ≈…"));
    }
}

qreal pixelRatio(const QPainter& painter) {
    // The device transform carries the target's ratio and any scale of the painter.
    const QTransform& device = painter.deviceTransform();
    return std::max(1.0, std::hypot(device.m11(), device.m12()));
}

QEasingCurve easeInOut() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

} // namespace tidemark::ui
