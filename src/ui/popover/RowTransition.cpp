#include "ui/popover/RowTransition.h"

#include "ui/popover/PopoverStyle.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>

namespace tidemark::ui {

namespace {
constexpr qreal kSmallestScale = 0.95;
}

void RowTransition::enter(QWidget* row, QWidget* host, int milliseconds) {
    const QPixmap picture = row->grab();
    auto* hidden = new QGraphicsOpacityEffect(row);
    hidden->setOpacity(0);
    row->setGraphicsEffect(hidden);
    new RowTransition(host, row, picture, QRect(row->mapTo(host, QPoint()), row->size()), true,
                      milliseconds);
}

void RowTransition::leave(QPixmap picture, QRect geometry, QWidget* host, int milliseconds) {
    new RowTransition(host, nullptr, std::move(picture), geometry, false, milliseconds);
}

RowTransition::RowTransition(QWidget* host, QPointer<QWidget> row, QPixmap picture, QRect geometry,
                             bool entering, int milliseconds)
    : QWidget(host), row_(std::move(row)), picture_(std::move(picture)), entering_(entering) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(geometry);
    animation_.setDuration(milliseconds);
    animation_.setEasingCurve(easeInOut());
    animation_.setStartValue(0.0);
    animation_.setEndValue(1.0);
    connect(&animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { step(value.toReal()); });
    connect(&animation_, &QVariantAnimation::finished, this, [this] {
        if (row_)
            row_->setGraphicsEffect(nullptr);
        deleteLater();
    });
    step(0);
    raise();
    show();
    animation_.start();
}

void RowTransition::step(qreal progress) {
    visible_ = entering_ ? progress : 1 - progress;
    // An entering row follows its place while the popover settles.
    if (entering_ && row_ && parentWidget())
        setGeometry(QRect(row_->mapTo(parentWidget(), QPoint()), row_->size()));
    update();
}

void RowTransition::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(visible_);
    const qreal scale = kSmallestScale + (1 - kSmallestScale) * visible_;
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);
    painter.drawPixmap(QPointF(0, 0), picture_);
}

} // namespace tidemark::ui
