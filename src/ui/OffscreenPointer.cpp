#include "ui/OffscreenPointer.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <vector>

namespace tidemark::ui {
namespace {

// `widget` and its ancestors up to `top`, the outermost first.
std::vector<QPointer<QWidget>> chainOf(QWidget* widget, const QWidget* top) {
    std::vector<QPointer<QWidget>> chain;
    for (QWidget* w = widget; w; w = w == top ? nullptr : w->parentWidget())
        chain.insert(chain.begin(), w);
    return chain;
}

bool contains(const std::vector<QPointer<QWidget>>& chain, const QWidget* widget) {
    for (const auto& w : chain)
        if (w == widget)
            return true;
    return false;
}

} // namespace

QWidget* OffscreenPointer::widgetAt(QPointF at) const {
    if (!top_ || !inside_ || !top_->rect().contains(at.toPoint()))
        return nullptr;
    QWidget* child = top_->childAt(at.toPoint());
    return child ? child : top_.data();
}

QWidget* OffscreenPointer::receiver() const {
    return pressed_ ? pressed_.data() : under_.data();
}

void OffscreenPointer::moved(QPointF at) {
    at_ = at;
    inside_ = true;
    // While a button is held the widget under the pointer keeps it, as after a press on
    // screen: the hover changes when the button is up.
    if (!pressed_)
        hover(widgetAt(at));
    if (QWidget* target = receiver())
        send(target, QEvent::MouseMove, Qt::NoButton);
}

void OffscreenPointer::button(Qt::MouseButton button, bool pressed) {
    if (pressed) {
        buttons_ |= button;
        if (!pressed_)
            pressed_ = widgetAt(at_);
        if (QWidget* target = receiver())
            send(target, QEvent::MouseButtonPress, button);
        return;
    }
    if (!(buttons_ & button))
        return;
    buttons_ &= ~button;
    if (QWidget* target = receiver())
        send(target, QEvent::MouseButtonRelease, button);
    if (buttons_ == Qt::NoButton) {
        pressed_ = nullptr;
        hover(widgetAt(at_));
    }
}

void OffscreenPointer::scrolled(int angle) {
    if (angle == 0)
        return;
    // Qt hands a wheel event it did not get from the window system to its receiver alone:
    // up the tree to the first widget that takes it, as for the window system's.
    for (QWidget* target = under_.data(); target;
         target = target == top_ ? nullptr : target->parentWidget()) {
        const QPointF local = target->mapFrom(top_.data(), at_);
        QWheelEvent wheel(local, origin_ + at_, QPoint(), QPoint(0, angle), buttons_,
                          QApplication::keyboardModifiers(), Qt::NoScrollPhase, false);
        wheel.setAccepted(false);
        if (QApplication::sendEvent(target, &wheel) && wheel.isAccepted())
            return;
    }
}

void OffscreenPointer::left() {
    inside_ = false;
    if (!pressed_)
        hover(nullptr);
}

void OffscreenPointer::hover(QWidget* widget) {
    if (widget == under_)
        return;
    const auto before = chainOf(under_.data(), top_.data());
    const auto after = chainOf(widget, top_.data());
    under_ = widget;
    // Leaving from the innermost out, entering from the outermost in, as Qt does.
    for (auto it = before.rbegin(); it != before.rend(); ++it) {
        if (!*it || contains(after, it->data()))
            continue;
        (*it)->setAttribute(Qt::WA_UnderMouse, false);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(it->data(), &leave);
    }
    for (const auto& w : after) {
        if (!w || contains(before, w.data()))
            continue;
        w->setAttribute(Qt::WA_UnderMouse, true);
        const QPointF local = w->mapFrom(top_.data(), at_);
        QEnterEvent enter(local, local, origin_ + at_);
        QApplication::sendEvent(w.data(), &enter);
    }
}

void OffscreenPointer::send(QWidget* receiver, QEvent::Type type, Qt::MouseButton button) {
    const QPointF local = receiver->mapFrom(top_.data(), at_);
    QMouseEvent event(type, local, local, origin_ + at_, button, buttons_,
                      QApplication::keyboardModifiers());
    QApplication::sendEvent(receiver, &event);
}

} // namespace tidemark::ui
