#include "ui/StripWindow.h"

#include "ui/StripPainting.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>
#include <utility>

namespace tidemark::ui {
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
    return stripButtonWidth(image_.get());
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
    std::optional<QColor> highlight;
    if (highlighted_)
        highlight = palette().color(QPalette::Highlight).lighter(130);
    paintStrip(
        painter, rect(), buttonRect(), devicePixelRatioF(),
        {image_.get(), appearance_, highlight, dropTarget_, palette().color(QPalette::Highlight)},
        pixels_);
    if (image_ && firstImageListener_)
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
    wheel_.reset();
    QWidget::leaveEvent(event);
}

void StripWindow::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int notches = wheel_.add(event->angleDelta().y());
    // Qt counts a turn away from the user (up) as positive; down is the next space.
    if (notches != 0 && turned_)
        turned_(toButton(event->position()), -notches);
}

} // namespace tidemark::ui
