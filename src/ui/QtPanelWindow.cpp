#include "ui/QtPanelWindow.h"

#include "ui/popover/PanelPicture.h"

#include <QEnterEvent>
#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <utility>

namespace tidemark::ui {

namespace {

QPainterPath roundedOutline(QSizeF size) {
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), kPanelCornerRadius, kPanelCornerRadius);
    return path;
}

} // namespace

// The standard cubic curves of the toolkit this product comes from.
QEasingCurve panelEasing(AnimationCurve curve) {
    QEasingCurve easing(QEasingCurve::BezierSpline);
    switch (curve) {
    case AnimationCurve::EaseIn:
        easing.addCubicBezierSegment({0.42, 0}, {1, 1}, {1, 1});
        break;
    case AnimationCurve::EaseOut:
        easing.addCubicBezierSegment({0, 0}, {0.58, 1}, {1, 1});
        break;
    case AnimationCurve::EaseInOut:
        easing.addCubicBezierSegment({0.42, 0}, {0.58, 1}, {1, 1});
        break;
    }
    return easing;
}

Size contentFittingSize(QWidget* content) {
    if (!content)
        return {};
    if (auto* layout = content->layout())
        layout->activate();
    const QSize hint = content->sizeHint().expandedTo(content->minimumSize());
    return Size{double(hint.width()), double(hint.height())};
}

QtPanelWindow::QtPanelWindow(std::unique_ptr<QWidget> content, bool compositing)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint),
      compositing_(compositing) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    // Before the native window exists, so that it gets a visual with alpha.
    setAttribute(Qt::WA_TranslucentBackground, compositing);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Tidemark Panel"));
    if (content) {
        content_ = content.release();
        content_->setParent(this); // Qt's parent owns it from here
        content_->move(0, 0);
    }
}

void QtPanelWindow::notifyNextFrame(std::function<void()> listener) {
    frameListener_ = std::move(listener);
    update();
}

Size QtPanelWindow::fittingSize() {
    return contentFittingSize(content_);
}

void QtPanelWindow::setFrame(Rect frame) {
    setGeometry(int(std::lround(frame.minX())), int(std::lround(frame.minY())),
                int(std::ceil(frame.width())), int(std::ceil(frame.height())));
    announcePlacement();
}

Rect QtPanelWindow::frame() const {
    const QRect g = geometry();
    return Rect{double(g.x()), double(g.y()), double(g.width()), double(g.height())};
}

void QtPanelWindow::orderFrontRegardless() {
    show();
    raise();
    announcePlacement();
}

void QtPanelWindow::orderOut() {
    hide();
}

void QtPanelWindow::setAlpha(double alpha) {
    takeOverFade();
    if (compositing_)
        setWindowOpacity(alpha);
}

void QtPanelWindow::animateAlpha(double alpha, TimeSeconds duration, AnimationCurve curve,
                                 std::function<void()> completion) {
    takeOverFade();
    // Without a compositor opacity means nothing: the window appears and goes at once.
    if (!compositing_ || duration <= 0) {
        if (compositing_)
            setWindowOpacity(alpha);
        runLater(std::move(completion));
        return;
    }
    auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(int(std::lround(duration * 1000)));
    fade->setStartValue(windowOpacity());
    fade->setEndValue(alpha);
    fade->setEasingCurve(panelEasing(curve));
    fade_ = fade;
    fadeCompletion_ = std::move(completion);
    connect(fade, &QPropertyAnimation::finished, this, [this] {
        fade_ = nullptr;
        runLater(std::exchange(fadeCompletion_, nullptr));
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void QtPanelWindow::takeOverFade() {
    if (fade_) {
        fade_->disconnect(this);
        fade_->stop(); // deletes it
        fade_ = nullptr;
    }
    runLater(std::exchange(fadeCompletion_, nullptr));
}

void QtPanelWindow::runLater(std::function<void()> block) {
    if (block)
        QMetaObject::invokeMethod(this, std::move(block), Qt::QueuedConnection);
}

void QtPanelWindow::trackPointer(std::function<void()> entered, std::function<void()> exited) {
    entered_ = std::move(entered);
    exited_ = std::move(exited);
}

void QtPanelWindow::fitContent() {
    if (!content_ || !isVisible())
        return;
    const Size wanted = fittingSize();
    if (QSize(int(std::ceil(wanted.width)), int(std::ceil(wanted.height))) == size())
        return;
    const Rect proposed{double(x()), double(y()), wanted.width, wanted.height};
    setFrame(frameFilter_ ? frameFilter_(proposed) : proposed);
}

void QtPanelWindow::announcePlacement() {
    if (placementListener_)
        runLater(placementListener_);
}

bool QtPanelWindow::event(QEvent* event) {
    // The content's size hint changed (rows came or went).
    if (event->type() == QEvent::LayoutRequest)
        fitContent();
    return QWidget::event(event);
}

void QtPanelWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Without a compositor the window is opaque: its corners are cut by the shape mask.
    paintPanelBackground(painter, QRectF(rect()), palette());
    // Painting ends before the frame is flushed; the listener runs after that.
    if (frameListener_)
        runLater(std::exchange(frameListener_, nullptr));
}

void QtPanelWindow::resizeEvent(QResizeEvent*) {
    if (content_)
        content_->setGeometry(rect());
    if (!compositing_)
        setMask(QRegion(roundedOutline(size()).toFillPolygon().toPolygon()));
}

void QtPanelWindow::enterEvent(QEnterEvent*) {
    if (entered_)
        entered_();
}

void QtPanelWindow::leaveEvent(QEvent*) {
    if (exited_)
        exited_();
}

} // namespace tidemark::ui
