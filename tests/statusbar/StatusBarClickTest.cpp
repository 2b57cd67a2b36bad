#include "statusbar/ApplicationName.h"
#include "statusbar/StatusBarTestSupport.h"

namespace tidemark::testing {
namespace {

using Gestures = std::vector<std::pair<std::string, bool>>;

TEST_F(StatusBarFixture, LeftClicksSwitchToTheSpaceUnderOrNearestThePointer) {
    const struct {
        const char* what;
        Point at;
        Gestures expected;
    } cases[] = {
        {"on the other desktop of the first display", {25, 6}, {{"Main", true}}},
        {"in the gap, nearer the other desktop", {20, 6}, {{"Main", true}}},
        {"in the gap, nearer the current desktop", {19, 6}, {}},
        {"on the current space of the second display", {50, 6}, {}},
        {"in the blank right end: the last glyph, current", {65, 6}, {}},
        {"outside the image", {70, 6}, {}},
    };
    show();
    for (const auto& c : cases) {
        const auto before = poster.posted().size();
        click(c.at);
        queue.advance(1);
        Gestures made;
        const auto all = gestures();
        for (std::size_t i = before / 4; i < all.size(); ++i)
            made.push_back(all[i]);
        EXPECT_EQ(made, c.expected) << c.what;
    }
}

TEST_F(StatusBarFixture, MouseEventsFollowTheMonitorRules) {
    show();
    // Events of other windows, and Command-clicks, go on untouched.
    EXPECT_TRUE(application.dispatch({MouseButton::Left, MouseAction::Up, 7, {25, 6}}));
    EXPECT_TRUE(
        application.dispatch({MouseButton::Right, MouseAction::Down, std::nullopt, {25, 6}}));
    EXPECT_TRUE(mouse(MouseButton::Left, MouseAction::Up, {25, 6}, ModifierFlags::Command));
    EXPECT_TRUE(poster.posted().empty());
    EXPECT_TRUE(menu->popUps().empty());

    // A press goes on, its highlight off now and once more on the next turn.
    EXPECT_TRUE(mouse(MouseButton::Left, MouseAction::Down, {25, 6}));
    EXPECT_EQ(button->highlights(), std::vector<bool>{false});
    queue.runPending();
    EXPECT_EQ(button->highlights(), (std::vector<bool>{false, false}));

    // A release is consumed and switches; right clicks are consumed and open the menu 5
    // points below the button.
    EXPECT_FALSE(mouse(MouseButton::Left, MouseAction::Up, {25, 6}, ModifierFlags::Shift));
    EXPECT_EQ(gestures(), (Gestures{{"Main", true}}));
    EXPECT_FALSE(mouse(MouseButton::Right, MouseAction::Down, {25, 6}));
    EXPECT_FALSE(mouse(MouseButton::Right, MouseAction::Up, {25, 6}));
    EXPECT_EQ(menu->popUps(), (std::vector<Point>{{0, 17}}));

    // Both absent counts as the same window.
    button->setWindow(std::nullopt);
    EXPECT_FALSE(application.dispatch({MouseButton::Right, MouseAction::Down, std::nullopt, {}}));
    EXPECT_EQ(menu->popUps().size(), 2u);
}

TEST_F(StatusBarFixture, ClicksDoNothingWithoutAnImageOnAVanishedSpaceOrAfterTeardown) {
    click({25, 6});
    statusBar->statusBarButtonClicked(std::nullopt);
    EXPECT_TRUE(poster.posted().empty()) << "no image yet";

    // The image still has a glyph for "b", but the snapshot no longer has the space, and
    // the click is too far from the others.
    statusBar->updateStatusItem(twoDisplays(), {spaces[0], spaces[2]});
    click({30, 6});
    EXPECT_TRUE(poster.posted().empty()) << "vanished space";

    show();
    statusBar->teardown();
    EXPECT_FALSE(application.hasMonitor());
    click({25, 6});
    EXPECT_TRUE(poster.posted().empty()) << "after teardown";

    // Callbacks that outlive the controller do nothing.
    show();
    std::weak_ptr<StatusBar> weak = statusBar;
    statusBar.reset();
    EXPECT_TRUE(weak.expired());
    button->pointerEntered();
    button->pointerMoved({25, 6});
    queue.advance(2);
    EXPECT_EQ(panelsMade, 0);
}

TEST_F(StatusBarFixture, WithoutPermissionAClickShowsOneAlertUntilItIsAnswered) {
    poster.setTrusted(false);
    application.displayName = "Tide";
    application.name = "TideBundle";
    show();
    click({5, 6}); // even on the current space
    click({25, 6});
    ASSERT_EQ(alerts.presentedCount(), 1);
    EXPECT_TRUE(poster.posted().empty());
    EXPECT_EQ(application.activations, 1);
    EXPECT_EQ(alerts.shown()->style, AlertStyle::Warning);
    EXPECT_EQ(alerts.shown()->informativeText, permission.alert("Tide").content.informativeText)
        << "named by the app's display name";

    const struct {
        int button;
        int settingsOpened;
        int terminations;
    } answers[] = {{3, 0, 0}, {1, 1, 0}, {2, 1, 1}};
    for (const auto& a : answers) {
        ASSERT_TRUE(alerts.answer(a.button));
        EXPECT_FALSE(statusBar->isAlertShowing());
        EXPECT_EQ(permission.settingsOpened, a.settingsOpened) << a.button;
        EXPECT_EQ(application.terminations, a.terminations) << a.button;
        click({25, 6});
    }
    EXPECT_EQ(alerts.presentedCount(), 4);

    // Once granted, the same click switches.
    alerts.answer(3);
    poster.setTrusted(true);
    click({25, 6});
    EXPECT_EQ(gestures(), (Gestures{{"Main", true}}));
}

TEST_F(StatusBarFixture, TheSimAlertNamesTheAppByDisplayNameThenBundleName) {
    EXPECT_EQ(applicationName("Tide", "TideBundle"), "Tide");
    EXPECT_EQ(applicationName(std::nullopt, "TideBundle"), "TideBundle");
    EXPECT_EQ(applicationName(std::nullopt, std::nullopt), "Tidemark");

    // Every mention of the app in the alert is the name it is given.
    const auto alert = permission.alert("TideBundle").content;
    const auto other = permission.alert("Other").content;
    ASSERT_EQ(alert.buttons.size(), 3u);
    const auto renamed = [](std::string text) {
        for (auto at = text.find("TideBundle"); at != std::string::npos;
             at = text.find("TideBundle", at))
            text.replace(at, std::string_view("TideBundle").size(), "Other");
        return text;
    };
    EXPECT_NE(alert.informativeText.find("TideBundle"), std::string::npos);
    EXPECT_EQ(alert.informativeText.find("Tidemark"), std::string::npos);
    EXPECT_EQ(other.informativeText, renamed(alert.informativeText));
    EXPECT_EQ(other.buttons, (std::vector<std::string>{alert.buttons[0], renamed(alert.buttons[1]),
                                                       alert.buttons[2]}));
    EXPECT_NE(alert.buttons[1], other.buttons[1]);
}

TEST_F(StatusBarFixture, ASwitchOfSeveralStepsGoesToTheClickedDisplayOnly) {
    spaces = {makeSpace("Main", "a", false), makeSpace("Main", "b", false),
              makeSpace("Side", "c", false), makeSpace("Side", "d", true)};
    statusBar->updateStatusItem(layoutOf({{"a", {0, 0, 18, 12}},
                                          {"b", {20.5, 0, 18, 12}},
                                          {"c", {46, 0, 18, 12}},
                                          {"d", {66.5, 0, 18, 12}}},
                                         {87, 12}),
                                spaces);
    click({50, 6});
    queue.advance(1);
    EXPECT_EQ(gestures(), (Gestures{{"Side", false}}));
}

} // namespace
} // namespace tidemark::testing
