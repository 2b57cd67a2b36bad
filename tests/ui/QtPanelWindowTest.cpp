#include "ui/QtPanelWindow.h"

#include "support/QtEvents.h"
#include "ui/GuiApplication.h"
#include "ui/NamedControls.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace tidemark {
namespace {

using testing::serveUntil;

// A stand-in for the popover view: a fixed-width column whose rows come and go.
struct TestContent {
    std::unique_ptr<QWidget> owned = std::make_unique<QWidget>();
    QWidget* widget = owned.get();
    QVBoxLayout* column = new QVBoxLayout(widget);
    QPushButton* button = new QPushButton(QStringLiteral("Close All"));

    TestContent() {
        widget->setFixedWidth(280);
        widget->setObjectName(QStringLiteral("popover"));
        column->setContentsMargins(6, 8, 6, 8);
        button->setObjectName(QStringLiteral("closeAllButton"));
        button->setFixedHeight(30);
        column->addWidget(button);
    }
    void addRow() {
        auto* row = new QWidget;
        row->setFixedHeight(26);
        column->addWidget(row);
    }
};

TEST(QtPanelWindow, FitsItsContentAndRefitsThroughTheFilterWhenTheContentGrows) {
    ui::ensureGuiApplication();
    TestContent content;
    ui::QtPanelWindow window(std::move(content.owned), false);
    ASSERT_TRUE(window.hasContent());
    const Size fitting = window.fittingSize();
    EXPECT_EQ(fitting.width, 280);
    EXPECT_EQ(fitting.height, 8 + 30 + 8);

    std::vector<Rect> proposals;
    window.setFrameFilter([&](Rect proposed) {
        proposals.push_back(proposed);
        // Keeps the centre, as the hover panel does.
        return Rect{500 - proposed.width() / 2, 30, proposed.width(), proposed.height()};
    });
    window.setFrame({360, 30, fitting.width, fitting.height});
    window.orderFrontRegardless();
    ASSERT_TRUE(serveUntil([&] { return window.isVisible(); }));
    EXPECT_EQ(window.frame(), (Rect{360, 30, 280, 46}));
    EXPECT_TRUE(proposals.empty()) << "a frame set by the owner is not filtered again";

    content.addRow();
    ASSERT_TRUE(serveUntil([&] { return window.frame().height() > 46; }));
    ASSERT_FALSE(proposals.empty());
    EXPECT_EQ(proposals.back().size, (Size{280, 46 + 6 + 26}));
    EXPECT_EQ(window.frame(), (Rect{360, 30, 280, 78}));
    EXPECT_EQ(content.widget->geometry(), QRect(0, 0, 280, 78)) << "the content fills the window";

    // Round corners without a compositor: the shape leaves the corner pixels out.
    EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(window.mask().contains(QPoint(279, 77)));
    EXPECT_TRUE(window.mask().contains(QPoint(140, 0)));

    const auto controls = ui::namedControls(window);
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[0].name, "popover");
    EXPECT_EQ(controls[1].name, "popover/closeAllButton");
    EXPECT_EQ(controls[1].onScreen, (Rect{366, 38, 268, 30}));

    ui::QtPanelWindow empty(nullptr, false);
    EXPECT_FALSE(empty.hasContent());
}

TEST(QtPanelWindow, ReportsThePointerAndTheFirstFrameAfterShowing) {
    ui::ensureGuiApplication();
    TestContent content;
    ui::QtPanelWindow window(std::move(content.owned), false);
    std::vector<std::string> events;
    window.trackPointer([&] { events.push_back("entered"); }, [&] { events.push_back("exited"); });
    bool painted = false;
    window.notifyNextFrame([&] { painted = true; });
    window.setFrame({0, 30, 280, 46});
    window.orderFrontRegardless();
    EXPECT_TRUE(serveUntil([&] { return painted; }));

    QEnterEvent enter(QPointF(10, 10), QPointF(10, 40), QPointF(10, 40));
    QCoreApplication::sendEvent(&window, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&window, &leave);
    EXPECT_EQ(events, (std::vector<std::string>{"entered", "exited"}));
}

TEST(QtPanelWindow, FadesRunEveryCompletionAlsoWhenTakenOverAndAtOnceWithoutACompositor) {
    ui::ensureGuiApplication();
    for (const bool compositing : {true, false}) {
        SCOPED_TRACE(compositing ? "compositing" : "no compositor");
        ui::QtPanelWindow window(TestContent().owned, compositing);
        window.setFrame({0, 30, 280, 46});
        window.setAlpha(0);
        window.orderFrontRegardless();
        std::vector<std::string> done;
        QElapsedTimer clock;
        clock.start();
        window.animateAlpha(1, 0.15, AnimationCurve::EaseOut, [&] { done.push_back("in"); });
        window.animateAlpha(0, 0.12, AnimationCurve::EaseIn, [&] {
            done.push_back("out");
            window.orderOut();
        });
        EXPECT_TRUE(done.empty()) << "completions run later, on the main queue";
        ASSERT_TRUE(serveUntil([&] { return done.size() == 2; }));
        EXPECT_EQ(done, (std::vector<std::string>{"in", "out"}));
        EXPECT_FALSE(window.isVisible());
        if (compositing) {
            EXPECT_GE(clock.elapsed(), 110) << "the fade-out took its time";
            EXPECT_DOUBLE_EQ(window.windowOpacity(), 0);
        } else {
            EXPECT_LT(clock.elapsed(), 100) << "no fade without a compositor";
            EXPECT_DOUBLE_EQ(window.windowOpacity(), 1);
        }
    }
}

} // namespace
} // namespace tidemark
