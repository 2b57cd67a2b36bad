#pragma once

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>

namespace tidemark::ui {

// Paints what shows behind a widget in its window, over its rectangle in points.
using PictureBackground = std::function<void(QPainter&, const QRectF&)>;

// The widget as it draws itself, at `scale` pixels per point, shown once first
// so that its layout settles (offscreen in the demo). Over `background` when one is given,
// instead of the window colour.
QImage widgetPicture(QWidget& widget, qreal scale, const PictureBackground& background = {});

} // namespace tidemark::ui
