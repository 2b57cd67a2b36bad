#include "ui/popover/SpacePopoverView.h"

#include "popover/PopoverWorld.h"
#include "ui/GuiApplication.h"
#include "ui/popover/MemoryBar.h"
#include "ui/popover/PopoverButton.h"
#include "ui/popover/PopoverText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QFontInfo>
#include <QMouseEvent>
#include <QRegularExpression>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>

namespace tidemark::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

// The desktop of the popover tests, with up to two leftover Chrome helpers for the scan to
// list: 611 (100 MB) and 612 (50 MB). Every app has a window, so none of them is left over.
ScenarioBuilder helperScenario(int helpers) {
    auto builder = desktopScenario();
    for (int pid = 101; pid <= 107; ++pid)
        builder.window(ScenarioBuilder::realWindow(pid - 30, pid));
    builder.installed("com.google.Chrome");
    if (helpers >= 1)
        builder.process(611, 1, "Google Chrome Helper (Renderer)", Json::object(), 100);
    if (helpers >= 2)
        builder.process(612, 1, "Google Chrome Helper (GPU)", Json::object(), 50);
    return builder;
}

void pumpEvents(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    do
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    while (timer.elapsed() < milliseconds);
}

// A popover over the panel of space "3", shown offscreen.
struct ShownPopover {
    explicit ShownPopover(int helpers = 2) : world(helperScenario(helpers)) {
        ui::ensureGuiApplication();
        world.open("3");
        view = std::make_unique<ui::SpacePopoverView>(
            world.model, std::make_shared<const ui::AppIconProvider>(&world.platform.workspace));
        view->resize(view->sizeHint());
        view->show();
        pumpEvents(0);
    }

    ui::PopoverButton* control(const QString& name) {
        // As the panel does: it takes the size the view asks for.
        view->resize(view->sizeHint());
        pumpEvents(0);
        return view->findChild<ui::PopoverButton*>(name);
    }

    void press(const QString& name) {
        auto* button = control(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        const QPointF centre = QRectF(button->rect()).center();
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, centre, button->mapToGlobal(centre), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(button, &event);
        }
    }

    // "name=enabled text" of every button, and every line of text.
    std::vector<std::string> controls() {
        pumpEvents(0);
        std::vector<std::string> found;
        for (auto* button : view->findChildren<ui::PopoverButton*>())
            if (button->isVisibleTo(view.get()) && !button->objectName().isEmpty())
                found.push_back(button->objectName().toStdString() +
                                (button->isEnabled() ? "=enabled " : "=disabled ") +
                                button->text().toStdString());
        return found;
    }
    std::vector<std::string> texts() {
        pumpEvents(0);
        std::vector<std::string> found;
        for (auto* text : view->findChildren<ui::PopoverText*>())
            if (text->isVisibleTo(view.get()))
                found.push_back(text->text().toStdString());
        return found;
    }

    PopoverWorld world;
    std::unique_ptr<ui::SpacePopoverView> view;
};

TEST(SpacePopoverView, EachControlCallsItsModelAction) {
    struct Case {
        const char* control;
        std::function<bool(PopoverWorld&)> done;
    };
    const auto requested = [](const char* fragment) {
        return [fragment](PopoverWorld& world) {
            for (const auto& line : world.requests())
                if (line.find(fragment) != std::string::npos)
                    return true;
            return false;
        };
    };
    const std::vector<Case> cases{
        {"quitApp:102", requested(R"("kind":"quitRequest","pid":102)")},
        {"quitAll", requested(R"("kind":"quitRequest","pid":104)")},
        {"sleep", requested(R"("kind":"sleepRequest")")},
        {"scanResidual", [](PopoverWorld& world) { return world.model->showResidualList(); }},
    };
    for (const auto& c : cases) {
        ShownPopover popover;
        popover.press(c.control);
        popover.world.runUntil(1);
        EXPECT_TRUE(c.done(popover.world)) << c.control;
    }

    // The residual row's close control terminates that process only.
    ShownPopover popover;
    popover.world.model->scanResidualProcesses();
    popover.world.runUntil(0);
    popover.press("terminateResidual:612");
    popover.world.runUntil(1);

    EXPECT_THAT(popover.world.requests(), Contains(HasSubstr(R"("pid":612,"signal":15)")));
    EXPECT_THAT(popover.world.requests(), Not(Contains(HasSubstr(R"("pid":611)"))));
    // Finder may not be quit: its row keeps an empty slot instead of a close control.
    EXPECT_EQ(popover.control("quitApp:103"), nullptr);
    EXPECT_NE(popover.view->findChild<QWidget*>("app:103"), nullptr);
}

TEST(SpacePopoverView, EveryMemoryFigureIsInOneFace) {
    ShownPopover popover;
    popover.world.model->scanResidualProcesses();
    popover.world.runUntil(0);
    popover.control("");
    const QRegularExpression figure(QStringLiteral("^[0-9.,]+ (bytes|KB|MB|GB|TB)$"));
    std::set<QString> families;
    std::set<std::string> owners;
    for (auto* text : popover.view->findChildren<ui::PopoverText*>()) {
        if (!text->isVisibleTo(popover.view.get()) || !figure.match(text->text()).hasMatch())
            continue;
        families.insert(QFontInfo(text->textFont()).family());
        const QString row = text->parentWidget()->objectName();
        owners.insert(row.section(u':', 0, 0).toStdString());
    }
    EXPECT_THAT(owners, IsSupersetOf({"app", "residual"})) << "figures of both kinds of row";
    EXPECT_EQ(families.size(), 1u);
}

TEST(SpacePopoverView, TheResidualSectionShowsTheControlsOfEachState) {
    struct Case {
        const char* state;
        int helpers;
        std::function<void(PopoverWorld&)> reach;
        std::vector<std::string> controls;
        std::vector<std::string> texts;
        std::vector<std::string> absentControls;
    };
    const auto scan = [](PopoverWorld& w) {
        w.model->scanResidualProcesses();
        w.runUntil(0);
    };
    const std::vector<Case> cases{
        {"idle", 2, [](PopoverWorld&) {}, {"scanResidual=enabled Clean RAM"}, {}, {"cleanAll"}},
        {"scanning",
         2,
         [](PopoverWorld& w) { w.model->scanResidualProcesses(); },
         {"scanResidual=disabled Scanning…"},
         {},
         {"cleanAll"}},
        {"listed",
         2,
         scan,
         {"cleanAll=enabled Clean All", "dismissResidual=enabled Dismiss",
          "terminateResidual:611=enabled ", "terminateResidual:612=enabled "},
         {"Residual Processes", "Google Chrome", "2 processes", "150 MB"},
         {"scanResidual"}},
        {"cleaning",
         2,
         [scan](PopoverWorld& w) {
             scan(w);
             w.model->cleanAllResidualProcesses();
         },
         {"cleanAll=disabled Cleaning…", "dismissResidual=enabled Dismiss"},
         {},
         {"scanResidual"}},
        {"cleaned",
         2,
         [scan](PopoverWorld& w) {
             scan(w);
             w.model->cleanAllResidualProcesses();
             w.runUntil(0);
         },
         {"dismissResidual=enabled Done"},
         {"Cleaned 2 processes", "Freed ≈ 150 MB"},
         {"cleanAll", "scanResidual"}},
        {"one listed",
         1,
         scan,
         {"cleanAll=enabled Clean All", "terminateResidual:611=enabled "},
         {"1 process", "100 MB"},
         {"terminateResidual:612"}},
        {"one cleaned",
         1,
         [scan](PopoverWorld& w) {
             scan(w);
             w.model->terminateResidualProcess(611);
             w.runUntil(0);
         },
         {"dismissResidual=enabled Done"},
         {"Cleaned 1 process", "Freed ≈ 100 MB"},
         {"cleanAll"}},
        {"nothing found",
         0,
         scan,
         {"dismissResidual=enabled OK"},
         {"No residual processes found"},
         {"cleanAll", "scanResidual"}},
    };
    for (const auto& c : cases) {
        ShownPopover popover(c.helpers);
        c.reach(popover.world);
        const auto controls = popover.controls();
        EXPECT_THAT(controls, IsSupersetOf(c.controls)) << c.state;
        EXPECT_THAT(popover.texts(), IsSupersetOf(c.texts)) << c.state;
        for (const auto& absent : c.absentControls)
            EXPECT_THAT(controls, Not(Contains(HasSubstr(absent + "=")))) << c.state;
    }
}

TEST(SpacePopoverView, CloseAllShowsOnceBelowTheLastListWithAClosableApp) {
    struct Case {
        const char* what;
        std::vector<Space> spaces; // the first is shown
        int closeAllButtons;
        const char* lastRowAbove; // the row that "Close All" sits below
    };
    const auto finder = detail(103, "Finder", "com.apple.finder");
    const auto mail = detail(104, "Mail", "org.example.Mail");
    const std::vector<Case> cases{
        {"both lists", desktopSpaces(), 1, "otherApp:106"},
        {"own list only",
         {space("3", {detail(101, "Browser", "org.example.Browser"), finder})},
         1,
         "app:103"},
        {"nothing closable", {space("3", {finder})}, 0, nullptr},
        {"empty space", {space("4", {}), space("5", {mail})}, 1, "otherApp:104"},
    };
    for (const auto& c : cases) {
        ShownPopover popover;
        popover.world.open(c.spaces.front().spaceID, c.spaces);
        popover.control("");
        auto buttons = popover.view->findChildren<ui::PopoverButton*>("quitAll");
        // The content of before the switch waits hidden for its deferred deletion.
        buttons.removeIf([&](auto* b) { return !b->isVisibleTo(popover.view.get()); });
        ASSERT_EQ(int(buttons.size()), c.closeAllButtons) << c.what;
        if (c.closeAllButtons == 0)
            continue;
        const QWidget* row = nullptr;
        for (const auto* candidate : popover.view->findChildren<QWidget*>(c.lastRowAbove))
            if (candidate->isVisibleTo(popover.view.get()))
                row = candidate;
        ASSERT_NE(row, nullptr) << c.what;
        const auto top = [&](const QWidget* w) {
            return w->mapTo(popover.view.get(), QPoint()).y();
        };
        EXPECT_GE(top(buttons.front()), top(row) + row->height()) << c.what;
        // Inside the panel's right margin, in line with the rows' close controls.
        const auto right = [&](const QWidget* w) {
            return w->mapTo(popover.view.get(), QPoint(w->width(), 0)).x();
        };
        std::set<int> closeEdges;
        for (const auto* close : popover.view->findChildren<ui::PopoverButton*>())
            if (close->objectName().startsWith(QStringLiteral("quitApp:")) &&
                close->isVisibleTo(popover.view.get()))
                closeEdges.insert(right(close));
        ASSERT_EQ(closeEdges.size(), 1u) << c.what;
        EXPECT_EQ(right(buttons.front()), *closeEdges.begin()) << c.what;
        EXPECT_LE(right(buttons.front()), popover.view->width() - 12) << c.what;
        if (c.spaces.front().appDetails.empty()) {
            EXPECT_THAT(popover.texts(), Contains("No apps on this space")) << c.what;
        }
    }
}

TEST(SpacePopoverView, TheSizeHintFollowsTheContentAndAnnouncesItsChanges) {
    ui::ensureGuiApplication();
    QWidget parent; // outlives the view, which leaves it when destroyed
    ShownPopover popover(0);
    int layoutRequests = 0;
    struct Counter : QObject {
        int& count;
        explicit Counter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::LayoutRequest;
            return false;
        }
    } counter(layoutRequests);
    popover.view->setParent(&parent);
    parent.show();
    popover.view->show();
    pumpEvents(0);
    parent.installEventFilter(&counter);
    const QSize before = popover.view->sizeHint();
    EXPECT_EQ(before.width(), ui::SpacePopoverView::kWidth);

    auto grown = *popover.world.model->space();
    grown.appDetails.push_back(detail(121, "Notes", "org.example.Notes"));
    grown.appDetails.push_back(detail(122, "Music", "org.example.Music"));
    popover.world.model->setSpace(grown);
    // Two rows of 26 points, 2 apart.
    EXPECT_EQ(popover.view->sizeHint().height(), before.height() + 2 * (26 + 2));
    pumpEvents(0);
    EXPECT_GT(layoutRequests, 0);

    popover.world.model->reset();
    EXPECT_EQ(popover.view->sizeHint(), QSize(0, 0));
}

TEST(SpacePopoverView, HoveringAControlChangesItsPictureAndLeavingRestoresIt) {
    for (const char* name : {"quitApp:101", "sleep"}) {
        ShownPopover popover;
        auto* control = popover.control(name);
        ASSERT_NE(control, nullptr) << name;
        const QImage resting = control->grab().toImage();
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(control, &enter);
        pumpEvents(200);
        EXPECT_TRUE(control->isHovered()) << name;
        EXPECT_NE(control->grab().toImage(), resting) << name;
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(control, &leave);
        pumpEvents(200);
        EXPECT_EQ(control->grab().toImage(), resting) << name;
    }
}

TEST(SpacePopoverView, TheMemoryBarFillsByTheUsedShareInItsPressureColours) {
    struct Case {
        std::uint64_t used, total;
        double ratio;
        ui::MemoryPressure pressure;
    };
    for (const auto& c : std::vector<Case>{{0, 0, 0, ui::MemoryPressure::Normal},
                                           {64, 100, 0.64, ui::MemoryPressure::Normal},
                                           {65, 100, 0.65, ui::MemoryPressure::Elevated},
                                           {80, 100, 0.8, ui::MemoryPressure::High},
                                           {150, 100, 1, ui::MemoryPressure::High}}) {
        const auto fill = ui::memoryFill(c.used, c.total);
        EXPECT_DOUBLE_EQ(fill.ratio, c.ratio) << c.used << "/" << c.total;
        EXPECT_EQ(fill.pressure, c.pressure) << c.used << "/" << c.total;
    }
}

} // namespace
} // namespace tidemark::testing
