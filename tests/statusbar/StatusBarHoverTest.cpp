#include "statusbar/StatusBarTestSupport.h"

#include <algorithm>

namespace tidemark::testing {
namespace {

using Calls = std::vector<std::string>;

TEST_F(StatusBarFixture, ARestOfTheDwellOpensThePanelUnderTheGlyphAndShorterRestsNothing) {
    show();
    enter();
    moveTo({25, 6});
    queue.advance(0.9);
    moveTo({5, 6}); // onto another glyph: the dwell starts over
    queue.advance(0.9);
    moveTo({30, 6});
    leaveToNowhere();
    queue.advance(2);
    EXPECT_FALSE(statusBar->isPopoverShown());
    EXPECT_EQ(panelsMade, 0);

    // Moves within one glyph do not restart the dwell.
    enter();
    moveTo({25, 6});
    queue.advance(0.5);
    moveTo({35, 3});
    queue.advance(0.489);
    EXPECT_FALSE(statusBar->isPopoverShown());
    queue.advance(0.002);
    ASSERT_TRUE(statusBar->isPopoverShown());
    EXPECT_EQ(statusBar->hoveredSpaceID(), "b");
    EXPECT_EQ(content->takeCalls(), (Calls{"space b", "memory b", "otherApps b of 3 fetching"}));
    EXPECT_DOUBLE_EQ(panelCenterInButton(), 29.5);
    EXPECT_EQ(panelWindow->frame().minY(), 12 + 6);
    EXPECT_TRUE(panelWindow->isVisible());
}

TEST_F(StatusBarFixture, TheShownPanelFollowsThePointerFromGlyphToGlyphAtOnce) {
    show();
    std::vector<std::string> moves;
    StatusBar::PanelListener listener;
    listener.opening = [&](const std::string& id) { moves.push_back("opening " + id); };
    listener.moved = [&](const std::string& id) { moves.push_back(id); };
    statusBar->setPanelListener(listener);
    openPanelOver({25, 6});
    content->takeCalls();
    moveTo({50, 6});
    EXPECT_EQ(content->takeCalls(), (Calls{"space c", "memory c", "otherApps c of 3 fetching"}));
    EXPECT_DOUBLE_EQ(panelCenterInButton(), 55);
    moveTo({5, 6});
    moveTo({6, 6});
    EXPECT_DOUBLE_EQ(panelCenterInButton(), 9);
    EXPECT_EQ(moves, (std::vector<std::string>{"opening b", "c", "a"}));
    EXPECT_EQ(panelsMade, 1) << "one panel, reused";
    content->takeCalls();
    queue.advance(5);
    EXPECT_TRUE(statusBar->isPopoverShown());
    EXPECT_EQ(content->takeCalls(), Calls{}) << "no dwell ran again";
}

TEST_F(StatusBarFixture, LeavingClosesThePanelUnlessThePointerComesBackWithinTheDelay) {
    show();
    openPanelOver({25, 6});

    // Out and back over a glyph in time.
    leaveToNowhere();
    queue.advance(0.3);
    enter();
    moveTo({25, 6});
    queue.advance(1);
    EXPECT_TRUE(statusBar->isPopoverShown());

    // Down into the panel in time, then out of it.
    leaveToNowhere();
    queue.advance(0.2);
    screen.movePointer({panelWindow->frame().midX(), panelWindow->frame().midY()});
    panelWindow->pointerEntered();
    queue.advance(1);
    EXPECT_TRUE(statusBar->isPopoverShown());
    panelWindow->pointerExited();
    screen.movePointer({10, 2000});
    queue.advance(0.349);
    EXPECT_TRUE(statusBar->isPopoverShown());
    queue.advance(0.002);
    EXPECT_FALSE(statusBar->isPopoverShown());
    EXPECT_EQ(content->calls.back(), "otherApps b of 3 fetching") << "not reset before the fade";
    queue.advance(0.12);
    EXPECT_EQ(content->calls.back(), "reset");
    EXPECT_FALSE(panelWindow->isVisible());
}

TEST_F(StatusBarFixture, TheDismissCheckLooksAtWhereThePointerIs) {
    show();
    const struct {
        const char* what;
        Point pointer;  // on screen when the check runs
        bool overGlyph; // the last move was onto a glyph
        bool expectedShown;
    } cases[] = {
        {"in the panel", {1029.5, 100}, false, true},
        {"over the status item, on a glyph", {1025, 6}, true, true},
        {"over the status item, on no glyph", {1066, 6}, false, false},
        {"elsewhere", {10, 2000}, false, false},
    };
    for (const auto& c : cases) {
        openPanelOver({25, 6});
        if (c.overGlyph)
            moveTo({5, 6});
        else
            moveTo({67, 6}); // off every glyph: starts the dismiss timer
        if (c.overGlyph)
            statusBar->scheduleDismiss();
        screen.movePointer(c.pointer);
        queue.advance(StatusBar::kDismissDelay);
        EXPECT_EQ(statusBar->isPopoverShown(), c.expectedShown) << c.what;
        statusBar->hidePopover();
        leaveToNowhere();
        queue.advance(1);
    }
}

TEST_F(StatusBarFixture, ClicksCloseThePanelAndALeftClickPausesHoveringForItsCooldown) {
    show();
    openPanelOver({25, 6});
    mouse(MouseButton::Right, MouseAction::Down, {25, 6});
    EXPECT_FALSE(statusBar->isPopoverShown());
    EXPECT_EQ(menu->popUps().size(), 1u);

    openPanelOver({25, 6});
    click({25, 6});
    EXPECT_FALSE(statusBar->isPopoverShown());
    EXPECT_TRUE(statusBar->clickCooldown());
    moveTo({5, 6});
    queue.advance(0.599);
    EXPECT_FALSE(statusBar->isPopoverShown());
    EXPECT_EQ(statusBar->hoveredSpaceID(), std::nullopt);
    queue.advance(0.002);
    EXPECT_FALSE(statusBar->clickCooldown());
    // The same glyph counts as new once the cooldown cleared it.
    moveTo({5, 6});
    queue.advance(StatusBar::kDwellDelay);
    EXPECT_TRUE(statusBar->isPopoverShown());
    EXPECT_EQ(statusBar->hoveredSpaceID(), "a");
}

TEST_F(StatusBarFixture, TurningTheHoverSettingOffClosesThePanelAtTheNextMove) {
    show();
    openPanelOver({25, 6});
    settings.set(settings::kHoverPopupEnabled, Value(false));
    EXPECT_TRUE(statusBar->isPopoverShown());
    moveTo({26, 6});
    EXPECT_FALSE(statusBar->isPopoverShown());
    moveTo({5, 6});
    queue.advance(3);
    EXPECT_FALSE(statusBar->isPopoverShown());
}

TEST_F(StatusBarFixture, ShowingAgainDuringTheFadeOutKeepsTheContent) {
    show();
    openPanelOver({25, 6});
    statusBar->hidePopover();
    queue.advance(0.05);
    statusBar->showPopover("b");
    queue.advance(1);
    EXPECT_TRUE(panelWindow->isVisible());
    EXPECT_EQ(std::count(content->calls.begin(), content->calls.end(), "reset"), 0);
    // The content asks to close (the sleep button): the fade completes and resets.
    content->onDismissRequest();
    queue.advance(0.12);
    EXPECT_FALSE(panelWindow->isVisible());
    EXPECT_EQ(content->calls.back(), "reset");
}

TEST_F(StatusBarFixture, ANewSnapshotRefreshesTheShownPanelWithoutReadingMemory) {
    show();
    openPanelOver({25, 6});
    content->takeCalls();
    show();
    EXPECT_EQ(content->takeCalls(), (Calls{"space b", "otherApps b of 3 cached"}));
    // The space is gone: the content stays as it is.
    statusBar->updateStatusItem(layoutOf({{"a", {0, 0, 18, 12}}}, {20.5, 12}), {spaces[0]});
    EXPECT_EQ(content->takeCalls(), Calls{});
    EXPECT_TRUE(statusBar->isPopoverShown());
    // Snapshots while no panel is shown feed nothing.
    statusBar->hidePopover();
    content->takeCalls();
    show();
    EXPECT_EQ(content->takeCalls(), Calls{});
}

TEST_F(StatusBarFixture, HoveringDoesNothingWithoutAnImageOrForAVanishedSpace) {
    enter();
    moveTo({25, 6});
    queue.advance(2);
    EXPECT_EQ(panelsMade, 0);

    // The dwell started on "b", but the snapshot lost it before the dwell ended.
    show();
    moveTo({25, 6});
    queue.advance(0.5);
    statusBar->updateStatusItem(twoDisplays(), {spaces[0], spaces[2]});
    queue.advance(1);
    EXPECT_FALSE(statusBar->isPopoverShown());
    EXPECT_EQ(content->calls, Calls{});
}

} // namespace
} // namespace tidemark::testing
