#include "ui/popover/MemoryBar.h"

#include "ui/popover/PopoverStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace tidemark::ui {

MemoryFill memoryFill(std::uint64_t used, std::uint64_t total) {
    const double ratio = total == 0 ? 0.0 : double(used) / double(total);
    const auto pressure = ratio >= 0.8    ? MemoryPressure::High
                          : ratio >= 0.65 ? MemoryPressure::Elevated
                                          : MemoryPressure::Normal;
    return {std::clamp(ratio, 0.0, 1.0), pressure};
}

MemoryBar::MemoryBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    animation_.setDuration(kAnimationMilliseconds);
    animation_.setEasingCurve(easeInOut());
    connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        shownRatio_ = value.toDouble();
        update();
    });
}

void MemoryBar::setFill(MemoryFill fill) {
    fill_ = fill;
    animation_.stop();
    if (!hasFill_ || !isVisible()) {
        hasFill_ = true;
        shownRatio_ = fill.ratio;
        update();
        return;
    }
    animation_.setStartValue(shownRatio_);
    animation_.setEndValue(fill.ratio);
    animation_.start();
}

void MemoryBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF track = rect();
    painter.setBrush(primaryColor(*this, 0.06));
    painter.drawRoundedRect(track, 3, 3);
    const double width = track.width() * std::clamp(shownRatio_, 0.0, 1.0);
    if (width <= 0)
        return;
    QLinearGradient gradient(track.topLeft(), track.topRight());
    switch (fill_.pressure) {
    case MemoryPressure::Normal:
        gradient.setColorAt(0, namedColor(NamedColor::Green, *this, 0.7));
        gradient.setColorAt(1, namedColor(NamedColor::Green, *this, 0.9));
        break;
    case MemoryPressure::Elevated:
        gradient.setColorAt(0, namedColor(NamedColor::Yellow, *this, 0.8));
        gradient.setColorAt(1, namedColor(NamedColor::Orange, *this, 0.9));
        break;
    case MemoryPressure::High:
        gradient.setColorAt(0, namedColor(NamedColor::Orange, *this, 0.8));
        gradient.setColorAt(1, namedColor(NamedColor::Red, *this, 0.9));
        break;
    }
    // The gradient spans the filled part, as the fill is its own shape.
    gradient.setFinalStop(track.left() + width, track.top());
    painter.setBrush(gradient);
    painter.drawRoundedRect(QRectF(track.left(), track.top(), width, track.height()), 3, 3);
}

} // namespace tidemark::ui
