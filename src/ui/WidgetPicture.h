#pragma once

#include <QImage>
#include <QWidget>

namespace tidemark::ui {

// The widget as it draws itself, at `scale` pixels per point, shown once first
// so that its layout settles (offscreen in the demo).
QImage widgetPicture(QWidget& widget, qreal scale);

} // namespace tidemark::ui
