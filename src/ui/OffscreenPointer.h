#pragma once

#include <QEvent>
#include <QPointF>
#include <QPointer>
#include <QWidget>

namespace tidemark::ui {

// The pointer for a widget tree that the window system does not show itself: the app shows
// its pixels in a surface of its own and hands the pointer's events here, in the top
// widget's coordinates. They reach the widgets under the pointer as the window system's
// would: enter and leave along the tree, the press's widget keeping the moves and the
// release until the button is up, and the wheel. (Qt grants no mouse grab to a widget it
// does not show; the pressed widget's hold stands in for one.)
class OffscreenPointer {
public:
    explicit OffscreenPointer(QWidget& top) : top_(&top) {}

    // `origin`: where the top widget's corner is on the screen.
    void setOrigin(QPointF origin) { origin_ = origin; }
    void moved(QPointF at);
    void button(Qt::MouseButton button, bool pressed);
    // Angle in eighths of a degree, positive away from the user (as Qt counts it).
    void scrolled(int angle);
    void left();

private:
    QWidget* widgetAt(QPointF at) const;
    // Where moves and releases go: the pressed widget, else the one under the pointer.
    QWidget* receiver() const;
    void hover(QWidget* widget);
    void send(QWidget* receiver, QEvent::Type type, Qt::MouseButton button);

    QPointer<QWidget> top_;
    QPointF origin_;
    QPointF at_;
    bool inside_ = false;
    Qt::MouseButtons buttons_;
    QPointer<QWidget> under_;
    QPointer<QWidget> pressed_;
};

} // namespace tidemark::ui
