#include "ui/WidgetPicture.h"

#include <QCoreApplication>
#include <QLayout>
#include <QPainter>
#include <cmath>

namespace tidemark::ui {

QImage widgetPicture(QWidget& widget, qreal scale, const PictureBackground& background) {
    // Shown once so that every layout, scroll area and menu settles on its real size.
    if (widget.minimumSize() != widget.maximumSize())
        widget.resize(widget.sizeHint());
    // A popup that shows asks to be raised and grabs the keyboard, and a window whose layout
    // fixes its size hands the platform size hints: a picture needs neither and the offscreen
    // platform supports neither. Their layouts settle without being shown.
    const bool wasVisible = widget.isVisible();
    const auto* layout = widget.layout();
    const bool fixedByLayout = layout && layout->sizeConstraint() == QLayout::SetFixedSize;
    if (widget.windowType() == Qt::Popup || fixedByLayout)
        widget.adjustSize();
    else
        widget.show();
    QCoreApplication::processEvents();
    const QSize size = widget.size();
    QImage image(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (background)
        background(painter, QRectF(QPointF(), QSizeF(size)));
    widget.render(&painter, QPoint(), QRegion(),
                  background ? QWidget::RenderFlags(QWidget::DrawChildren)
                             : QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.end();
    if (!wasVisible)
        widget.hide();
    return image;
}

} // namespace tidemark::ui
