#pragma once

#include <QImage>
#include <QPainter>
#include <QPalette>

namespace tidemark::ui {

class SpacePopoverView;

// The panel's own background where no blur is offered: the window colour, nearly opaque, on
// a rounded rectangle of 8 points with a hairline edge.
inline constexpr qreal kPanelCornerRadius = 8;
void paintPanelBackground(QPainter& painter, const QRectF& rect, const QPalette& palette);

// The popover as it shows in its panel, at `scale` pixels per point (offscreen pictures).
QImage panelPicture(SpacePopoverView& view, qreal scale);

} // namespace tidemark::ui
