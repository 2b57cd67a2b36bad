#include "ui/OffscreenPointer.h"

#include "ui/GuiApplication.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tidemark {
namespace {

// Writes down the pointer events it is sent, as "name:event".
class Recorder : public QWidget {
public:
    Recorder(const char* name, std::vector<std::string>& log, QWidget* parent = nullptr)
        : QWidget(parent), name_(name), log_(log) {}
    bool acceptsWheel = false;
    bool acceptsMouse = true;
    QPoint lastLocal;

protected:
    bool event(QEvent* event) override {
        const auto note = [&](const char* what) { log_.push_back(name_ + ":" + what); };
        switch (event->type()) {
        case QEvent::Enter:
            note("enter");
            break;
        case QEvent::Leave:
            note("leave");
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            if (!acceptsMouse) {
                event->ignore();
                return false;
            }
            const auto* mouse = static_cast<QMouseEvent*>(event);
            lastLocal = mouse->position().toPoint();
            note(event->type() == QEvent::MouseButtonPress ? "press"
                 : event->type() == QEvent::MouseMove      ? "move"
                                                           : "release");
            return true;
        }
        case QEvent::Wheel:
            if (!acceptsWheel) {
                event->ignore();
                return false;
            }
            note(("wheel " + std::to_string(static_cast<QWheelEvent*>(event)->angleDelta().y()))
                     .c_str());
            return true;
        default:
            break;
        }
        return QWidget::event(event);
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

// A host Qt never shows, 200×100: `outer` (the left half) holding `inner` at 10,10 30×30, and
// `right` (the right half) with mouse tracking.
struct Tree {
    std::vector<std::string> log;
    Recorder host{"host", log};
    Recorder* outer = new Recorder("outer", log, &host);
    Recorder* inner = new Recorder("inner", log, outer);
    Recorder* right = new Recorder("right", log, &host);
    ui::OffscreenPointer pointer{host};

    Tree() {
        host.setAttribute(Qt::WA_DontShowOnScreen);
        host.setGeometry(500, 300, 200, 100);
        outer->setGeometry(0, 0, 100, 100);
        inner->setGeometry(10, 10, 30, 30);
        right->setGeometry(100, 0, 100, 100);
        right->setMouseTracking(true);
        host.show();
        pointer.setOrigin(QPointF(500, 300));
    }
    std::vector<std::string> take() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;

TEST(OffscreenPointer, EntersAndLeavesAlongTheTreeAndKeepsAPressedWidgetUntilRelease) {
    ui::ensureGuiApplication();
    Tree tree;

    tree.pointer.moved(QPointF(20, 20));
    EXPECT_EQ(tree.take(), (Log{"host:enter", "outer:enter", "inner:enter"}));
    EXPECT_TRUE(tree.inner->underMouse());

    // Moving across: only the widgets left are left, innermost first; a widget without
    // tracking hears no bare moves, one with tracking does.
    tree.pointer.moved(QPointF(150, 50));
    EXPECT_EQ(tree.take(), (Log{"inner:leave", "outer:leave", "right:enter", "right:move"}));
    EXPECT_FALSE(tree.inner->underMouse());
    EXPECT_EQ(tree.right->lastLocal, QPoint(50, 50));

    // Pressed on the right, dragged over the left and released there: the right widget hears
    // it all, in its own coordinates; the hover moves only when the button is up.
    tree.pointer.button(Qt::LeftButton, true);
    tree.pointer.moved(QPointF(20, 20));
    EXPECT_EQ(tree.right->lastLocal, QPoint(-80, 20));
    tree.pointer.button(Qt::LeftButton, false);
    EXPECT_EQ(tree.take(), (Log{"right:press", "right:move", "right:release", "right:leave",
                                "outer:enter", "inner:enter"}));

    // A release of a button never pressed here (pressed before the pointer came) is dropped.
    tree.pointer.button(Qt::RightButton, false);
    EXPECT_TRUE(tree.take().empty());

    // The wheel goes up the tree to the first widget that takes it.
    tree.outer->acceptsWheel = true;
    tree.pointer.scrolled(-120);
    EXPECT_EQ(tree.take(), (Log{"outer:wheel -120"}));

    // Leaving the surface leaves every widget; outside it nothing is under the pointer.
    tree.pointer.left();
    EXPECT_EQ(tree.take(), (Log{"inner:leave", "outer:leave", "host:leave"}));
    tree.pointer.scrolled(-120);
    EXPECT_TRUE(tree.take().empty());
}

TEST(OffscreenPointer, ClicksARealButtonAndHandsAnIgnoredPressToTheParent) {
    ui::ensureGuiApplication();
    Tree tree;
    auto* button = new QPushButton(QStringLiteral("Close"), tree.inner);
    button->setGeometry(0, 0, 20, 20);
    button->show();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });

    tree.pointer.moved(QPointF(15, 15));
    tree.pointer.button(Qt::LeftButton, true);
    tree.pointer.button(Qt::LeftButton, false);
    EXPECT_EQ(clicks, 1);

    // Pressed on the button and released off it: no click, as on screen.
    tree.pointer.button(Qt::LeftButton, true);
    tree.pointer.moved(QPointF(150, 50));
    tree.pointer.button(Qt::LeftButton, false);
    EXPECT_EQ(clicks, 1);

    // A press the widget under the pointer ignores goes to its parent, in the parent's
    // coordinates (a row hears presses on its labels).
    tree.pointer.moved(QPointF(35, 35));
    tree.take();
    tree.inner->acceptsMouse = false;
    tree.pointer.button(Qt::LeftButton, true);
    EXPECT_EQ(tree.take(), (Log{"outer:press"}));
    EXPECT_EQ(tree.outer->lastLocal, QPoint(35, 35));
}

} // namespace
} // namespace tidemark
