#include "ui/StripWindow.h"

#include "statusbar/StatusBarTestSupport.h"
#include "ui/GuiApplication.h"
#include "ui/QtStatusPorts.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

namespace tidemark::ui {
namespace {

// The fixture's status bar on the Qt strip window: clicks arrive as Qt delivers them.
struct StripClickFixture : testing::StatusBarFixture {
    StripClickFixture() {
        statusBar.reset(); // its teardown would remove the new one's mouse monitor
        statusBar = StatusBar::create(
            {queue, settings, poster, windowServer, permission, stripApplication, alerts, screen},
            {strip, menu, {}}, content);
        statusBar->updateStatusItem(twoDisplays(), spaces);
        strip->resize(strip->buttonWidth(), StripWindow::kBarHeight);
        strip->show();
    }
    // The status bar's teardown reaches the strip through this fixture's members: it goes
    // before they do.
    ~StripClickFixture() override { statusBar.reset(); }
    // Where the image's point `inImage` lies in the window: the image is centred.
    QPointF inWindow(Point inImage) const {
        const auto image = strip->image()->size();
        return {(strip->width() - image.width) / 2 + inImage.x,
                (strip->height() - image.height) / 2 + inImage.y};
    }
    void click(Point inImage, Qt::KeyboardModifiers held) {
        const QPointF at = inWindow(inImage);
        QMouseEvent press(QEvent::MouseButtonPress, at, strip->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, held);
        QApplication::sendEvent(strip.get(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, strip->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, held);
        QApplication::sendEvent(strip.get(), &release);
        queue.advance(1);
    }
    // Qt's angle delta: 120 a notch, positive up.
    void wheel(Point inImage, int angleDelta) {
        const QPointF at = inWindow(inImage);
        QWheelEvent event(at, strip->mapToGlobal(at), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(strip.get(), &event);
        queue.advance(1);
    }

    std::shared_ptr<StripWindow> strip = [] {
        ensureGuiApplication();
        return std::make_shared<StripWindow>();
    }();
    QtApplicationPort stripApplication{
        [this](auto monitor) { strip->setMouseMonitor(std::move(monitor)); }};
};

TEST_F(StripClickFixture, ASuperClickSwitchesLikeAPlainClick) {
    click({25, 6}, Qt::MetaModifier);
    EXPECT_EQ(gestures(), (std::vector<std::pair<std::string, bool>>{{"Main", true}}));
    click({25, 6}, Qt::NoModifier);
    EXPECT_EQ(gestures().size(), 2u);
}

TEST_F(StripClickFixture, WheelPartsAddUpToNotchesAndADownNotchStepsToTheNextSpace) {
    wheel({9, 6}, -100);
    wheel({9, 6}, 30); // the other way: the part on its way down is dropped
    wheel({9, 6}, -30);
    wheel({9, 6}, -20);
    EXPECT_TRUE(gestures().empty());
    wheel({9, 6}, -70);
    EXPECT_EQ(gestures(), (std::vector<std::pair<std::string, bool>>{{"Main", true}}));
    wheel({55, 6}, 120); // "c" is the first space of its display
    EXPECT_EQ(gestures().size(), 1u);
}

} // namespace
} // namespace tidemark::ui
