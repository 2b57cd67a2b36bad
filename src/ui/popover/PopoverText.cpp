#include "ui/popover/PopoverText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace tidemark::ui {

PopoverText::PopoverText(QString text, QFont font, Paint color, QWidget* parent)
    : QWidget(parent), text_(std::move(text)), font_(std::move(font)), color_(std::move(color)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize PopoverText::sizeHint() const {
    const QFontMetricsF metrics(font_);
    return QSize(int(std::ceil(metrics.horizontalAdvance(text_))),
                 int(std::ceil(metrics.height())));
}

QSize PopoverText::minimumSizeHint() const {
    // Room for the ellipsis only: a long name gives way to the figures beside it.
    const QFontMetricsF metrics(font_);
    return QSize(std::min(sizeHint().width(), int(std::ceil(metrics.horizontalAdvance(u'…')))),
                 sizeHint().height());
}

void PopoverText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font_);
    painter.setPen(color_(*this));
    const QFontMetricsF metrics(font_);
    painter.drawText(QRectF(rect()), Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(text_, Qt::ElideRight, width()));
}

PopoverPicture::PopoverPicture(QSize size, Painter paint, QWidget* parent)
    : QWidget(parent), paint_(std::move(paint)) {
    setFixedSize(size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PopoverPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    paint_(painter, *this);
}

} // namespace tidemark::ui
