#include "ui/popover/PopoverButton.h"

#include "ui/popover/PopoverStyle.h"

#include <QCursor>
#include <QEnterEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace tidemark::ui {
namespace {

constexpr int kSpinnerTicks = 8;
constexpr int kSpinnerTickMilliseconds = 90;

QFont textFont(const ButtonLook& look) {
    return popoverFont(look.textSize, look.weight);
}

} // namespace

ButtonLook pillLook(const QString& text) {
    ButtonLook look;
    look.text = text;
    look.foreground = [](const QWidget& w, qreal) { return secondaryColor(w); };
    look.background = [](const QWidget& w, qreal) { return primaryColor(w, 0.06); };
    return look;
}

void paintSpinner(QPainter& painter, QPointF origin, const QColor& color, int phase) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = origin + QPointF(kSpinnerSize / 2, kSpinnerSize / 2);
    const qreal outer = kSpinnerSize / 2, inner = outer * 0.5;
    for (int i = 0; i < kSpinnerTicks; ++i) {
        const qreal angle = 2 * M_PI * i / kSpinnerTicks - M_PI / 2;
        QColor tick = color;
        const int age = (phase - i + kSpinnerTicks) % kSpinnerTicks;
        tick.setAlphaF(float(color.alphaF() * (1.0 - 0.8 * age / kSpinnerTicks)));
        painter.setPen(QPen(tick, kSpinnerSize * 0.12, Qt::SolidLine, Qt::RoundCap));
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.drawLine(centre + direction * inner, centre + direction * (outer - 0.6));
    }
    painter.restore();
}

PopoverButton::PopoverButton(ButtonLook look, QWidget* parent)
    : QAbstractButton(parent), look_(std::move(look)) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setText(look_.text);
    hoverAnimation_.setDuration(look_.hoverMilliseconds);
    hoverAnimation_.setEasingCurve(easeInOut());
    connect(&hoverAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        hoverBlend_ = v.toReal();
        update();
    });
    if (look_.spinner)
        spinnerTimer_ = startTimer(kSpinnerTickMilliseconds);
}

QSizeF PopoverButton::contentSize() const {
    qreal width = 0, height = 0;
    if (look_.spinner) {
        width = height = kSpinnerSize;
    } else if (look_.symbol) {
        width = height = look_.symbolSize;
    }
    if (!text().isEmpty()) {
        const QFontMetricsF metrics(textFont(look_));
        if (width > 0)
            width += look_.spacing;
        width += metrics.horizontalAdvance(text());
        height = std::max(height, metrics.height());
    }
    return {width, height};
}

QSize PopoverButton::sizeHint() const {
    if (look_.frame)
        return look_.frame->toSize();
    const QSizeF content = contentSize();
    const auto& p = look_.padding;
    return QSize(int(std::ceil(content.width() + p.left() + p.right())),
                 int(std::ceil(content.height() + p.top() + p.bottom())));
}

void PopoverButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(look_.background(*this, hoverBlend_));
    switch (look_.shape) {
    case ButtonLook::Shape::RoundedRect:
        painter.drawRoundedRect(bounds, look_.cornerRadius, look_.cornerRadius);
        break;
    case ButtonLook::Shape::Capsule:
        painter.drawRoundedRect(bounds, bounds.height() / 2, bounds.height() / 2);
        break;
    case ButtonLook::Shape::Circle:
        painter.drawEllipse(bounds);
        break;
    }

    QColor foreground = look_.foreground(*this, hoverBlend_);
    if (!isEnabled() && !look_.spinner)
        foreground.setAlphaF(foreground.alphaF() * 0.5f);
    const QSizeF content = contentSize();
    qreal x = bounds.center().x() - content.width() / 2;
    const qreal middle = bounds.center().y();
    if (look_.spinner) {
        paintSpinner(painter, QPointF(x, middle - kSpinnerSize / 2), foreground, spinnerPhase_);
        x += kSpinnerSize + look_.spacing;
    } else if (look_.symbol) {
        const QPixmap symbol = symbolPixmap(*look_.symbol, look_.symbolSize, foreground,
                                            pixelRatio(painter), look_.symbolBold);
        painter.drawPixmap(QPointF(x, middle - look_.symbolSize / 2.0), symbol);
        x += look_.symbolSize + look_.spacing;
    }
    if (!text().isEmpty()) {
        painter.setFont(textFont(look_));
        painter.setPen(foreground);
        painter.drawText(QRectF(x, bounds.top(), bounds.right() - x, bounds.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, text());
    }
}

void PopoverButton::setHovered(bool hovered) {
    if (hovered == hovered_)
        return;
    hovered_ = hovered;
    hoverAnimation_.stop();
    if (look_.hoverMilliseconds > 0 && isVisible()) {
        hoverAnimation_.setStartValue(hoverBlend_);
        hoverAnimation_.setEndValue(hovered ? 1.0 : 0.0);
        hoverAnimation_.start();
    } else {
        hoverBlend_ = hovered ? 1 : 0;
        update();
    }
}

void PopoverButton::enterEvent(QEnterEvent* event) {
    setHovered(true);
    QAbstractButton::enterEvent(event);
}

void PopoverButton::leaveEvent(QEvent* event) {
    setHovered(false);
    QAbstractButton::leaveEvent(event);
}

void PopoverButton::showEvent(QShowEvent* event) {
    // A button made while the pointer rests where it appears is hovered from the start.
    if (window()->isVisible() && rect().contains(mapFromGlobal(QCursor::pos())) &&
        window()->geometry().contains(QCursor::pos())) {
        hovered_ = true;
        hoverBlend_ = 1;
    }
    QAbstractButton::showEvent(event);
}

void PopoverButton::timerEvent(QTimerEvent* event) {
    if (event->timerId() != spinnerTimer_)
        return QAbstractButton::timerEvent(event);
    spinnerPhase_ = (spinnerPhase_ + 1) % kSpinnerTicks;
    if (isVisible())
        update();
}

} // namespace tidemark::ui
