#include "ui/StripWindow.h"

#include "ui/AppearancePalette.h"
#include "ui/ImageRenderer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>
#include <utility>

namespace tidemark::ui {
namespace {

// Eighths of a degree: a notch of an ordinary wheel; a high-resolution wheel or a touchpad
// sends parts of one.
constexpr int kAngleDeltaPerNotch = 120;

} // namespace

StripWindow::StripWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setWindowTitle(QStringLiteral("Tidemark"));
    resize(buttonWidth(), kBarHeight);
}

void StripWindow::setWindowRect(const QRect& rect) {
    setGeometry(rect);
    update();
}

void StripWindow::setAppearance(Appearance appearance) {
    appearance_ = appearance;
    pixels_ = QImage();
    update();
}

int StripWindow::buttonWidth() const {
    const double imageWidth = image_ ? image_->size().width : 0;
    return int(std::ceil(imageWidth)) + 2 * kButtonMargin;
}

void StripWindow::setMouseMonitor(std::function<bool(const MouseEvent&)> monitor) {
    monitor_ = std::move(monitor);
}

void StripWindow::setImage(ImageRef image) {
    const bool resized = !image_ || !image || image_->size().width != image->size().width ||
                         image_->size().height != image->size().height;
    image_ = std::move(image);
    pixels_ = QImage();
    if (resized && sizeListener_)
        sizeListener_();
    update();
}

QRect StripWindow::buttonRect() const {
    const int width = std::min(buttonWidth(), this->width());
    return QRect(this->width() - width, 0, width, height());
}

Rect StripWindow::bounds() const {
    const QRect button = buttonRect();
    return Rect{0, 0, double(button.width()), double(button.height())};
}

std::optional<WindowID> StripWindow::window() const {
    if (!isVisible())
        return std::nullopt;
    return WindowID(winId());
}

std::optional<Rect> StripWindow::convertToScreen(Rect inButton) const {
    if (!isVisible())
        return std::nullopt;
    const QPoint origin = mapToGlobal(buttonRect().topLeft());
    return Rect{origin.x() + inButton.minX(), origin.y() + inButton.minY(), inButton.width(),
                inButton.height()};
}

void StripWindow::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted)
        return;
    highlighted_ = highlighted;
    update();
}

void StripWindow::setDropTarget(std::optional<Rect> glyphInButton) {
    if (dropTarget_ == glyphInButton)
        return;
    dropTarget_ = glyphInButton;
    update();
}

void StripWindow::trackPointer(std::function<void()> entered, std::function<void()> exited,
                               std::function<void(Point)> moved) {
    entered_ = std::move(entered);
    exited_ = std::move(exited);
    moved_ = std::move(moved);
}

void StripWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), barBackground(appearance_));
    if (!image_)
        return;
    const QRect button = buttonRect();
    if (highlighted_)
        painter.fillRect(button, palette().color(QPalette::Highlight).lighter(130));
    if (dropTarget_) {
        // Behind the glyph, a little larger, so the glyph stays as legible as ever.
        const QRectF glyph(button.x() + dropTarget_->minX(), button.y() + dropTarget_->minY(),
                           dropTarget_->width(), dropTarget_->height());
        QColor fill = palette().color(QPalette::Highlight);
        const QColor edge = fill;
        fill.setAlphaF(0.45f);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(edge, 1.5));
        painter.setBrush(fill);
        painter.drawRoundedRect(glyph.adjusted(-3, -2, 3, 2)
                                    .intersected(QRectF(button))
                                    .adjusted(0.75, 0.75, -0.75, -0.75),
                                4, 4);
        painter.restore();
    }
    const qreal scale = devicePixelRatioF();
    if (pixels_.isNull() || !qFuzzyCompare(pixels_.devicePixelRatio(), scale)) {
        pixels_ = renderImage(*image_, scale, stripForeground(appearance_));
        pixels_.setDevicePixelRatio(scale);
    }
    // Centred in the button, on whole device pixels so nothing is resampled.
    const QSizeF size =
        image_->size().width > 0 ? QSizeF(image_->size().width, image_->size().height) : QSizeF();
    const qreal x = std::round((button.x() + (button.width() - size.width()) / 2) * scale) / scale;
    const qreal y = std::round(((button.height() - size.height()) / 2) * scale) / scale;
    painter.drawImage(QPointF(x, y), pixels_);
    if (firstImageListener_)
        std::exchange(firstImageListener_, nullptr)();
}

Point StripWindow::toButton(QPointF inWindow) const {
    const QRect button = buttonRect();
    return Point{inWindow.x() - button.x(), inWindow.y() - button.y()};
}

bool StripWindow::routeMouse(QMouseEvent* event, MouseAction action) {
    MouseButton button;
    if (event->button() == Qt::LeftButton)
        button = MouseButton::Left;
    else if (event->button() == Qt::RightButton)
        button = MouseButton::Right;
    else
        return false;
    MouseEvent routed;
    routed.button = button;
    routed.action = action;
    routed.window = WindowID(winId());
    routed.locationInButton = toButton(event->position());
    ModifierFlags modifiers = ModifierFlags::None;
    const auto held = event->modifiers();
    if (held & Qt::ShiftModifier)
        modifiers = modifiers | ModifierFlags::Shift;
    if (held & Qt::ControlModifier)
        modifiers = modifiers | ModifierFlags::Control;
    if (held & Qt::AltModifier)
        modifiers = modifiers | ModifierFlags::Option;
    // Super is not the command key: a command-click is left to a system that drags status
    // items, and no X desktop does, so a Super-click stays a click.
    routed.modifiers = modifiers;
    const bool goesOn = !monitor_ || monitor_(routed);
    event->accept();
    return goesOn && button == MouseButton::Left;
}

void StripWindow::mousePressEvent(QMouseEvent* event) {
    if (routeMouse(event, MouseAction::Down))
        setHighlighted(true);
}

void StripWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (routeMouse(event, MouseAction::Up))
        setHighlighted(false);
}

void StripWindow::updatePointerInside(QPointF inWindow) {
    const bool inside = buttonRect().contains(inWindow.toPoint());
    if (inside == pointerInside_)
        return;
    pointerInside_ = inside;
    if (inside && entered_)
        entered_();
    else if (!inside && exited_)
        exited_();
}

void StripWindow::mouseMoveEvent(QMouseEvent* event) {
    updatePointerInside(event->position());
    if (pointerInside_ && moved_)
        moved_(toButton(event->position()));
}

void StripWindow::leaveEvent(QEvent* event) {
    updatePointerInside(QPointF(-1, -1));
    wheelRemainder_ = 0;
    QWidget::leaveEvent(event);
}

void StripWindow::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int delta = event->angleDelta().y();
    // Parts of a turn the other way are no longer on their way to a notch.
    if ((delta > 0 && wheelRemainder_ < 0) || (delta < 0 && wheelRemainder_ > 0))
        wheelRemainder_ = 0;
    wheelRemainder_ += delta;
    const int notches = wheelRemainder_ / kAngleDeltaPerNotch;
    wheelRemainder_ -= notches * kAngleDeltaPerNotch;
    // Qt counts a turn away from the user (up) as positive; down is the next space.
    if (notches != 0 && turned_)
        turned_(toButton(event->position()), -notches);
}

} // namespace tidemark::ui
