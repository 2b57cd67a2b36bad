#include "ui/popover/PanelPicture.h"

#include "ui/WidgetPicture.h"
#include "ui/popover/SpacePopoverView.h"

namespace tidemark::ui {

void paintPanelBackground(QPainter& painter, const QRectF& rect, const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor material = palette.color(QPalette::Window);
    material.setAlphaF(0.97f);
    QColor edge = palette.color(QPalette::WindowText);
    edge.setAlphaF(0.12f);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(material);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), kPanelCornerRadius,
                            kPanelCornerRadius);
    painter.restore();
}

QImage panelPicture(SpacePopoverView& view, qreal scale) {
    return widgetPicture(view, scale, [&view](QPainter& painter, const QRectF& rect) {
        paintPanelBackground(painter, rect, view.palette());
    });
}

} // namespace tidemark::ui
