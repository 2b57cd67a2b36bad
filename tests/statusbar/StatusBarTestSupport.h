#pragma once

#include "foundation/SettingsStore.h"
#include "foundation/VirtualMainQueue.h"
#include "platform/sim/HeadlessViews.h"
#include "platform/sim/SimEventPoster.h"
#include "preferences/SettingsKeys.h"
#include "statusbar/StatusBar.h"
#include "support/SwitchingWindowServer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tidemark::testing {

// Records what the status bar feeds the panel's content, one line a call.
class RecordingContent final : public PopoverContent {
public:
    void setSpace(std::optional<Space> space) override {
        calls.push_back("space " + (space ? space->spaceID : std::string("none")));
    }
    void updateMemory(const Space& space) override { calls.push_back("memory " + space.spaceID); }
    void updateOtherApps(const Space& space, const std::vector<Space>& all, bool fetch) override {
        calls.push_back("otherApps " + space.spaceID + " of " + std::to_string(all.size()) +
                        (fetch ? " fetching" : " cached"));
    }
    void reset() override { calls.push_back("reset"); }
    void setOnDismissRequest(std::function<void()> handler) override {
        onDismissRequest = std::move(handler);
    }

    std::vector<std::string> takeCalls() { return std::exchange(calls, {}); }

    std::vector<std::string> calls;
    std::function<void()> onDismissRequest;
};

inline Space makeSpace(std::string display, std::string id, bool current) {
    Space space;
    space.displayID = std::move(display);
    space.spaceID = std::move(id);
    space.isCurrentSpace = current;
    return space;
}

// A status bar over headless views. Two displays of 18-point glyphs: "a" (current) and "b" on
// "Main", "c" (current) on "Side"; in the 66.5 x 12 image "a" spans x 0–18, "b" 20.5–38.5 and
// "c" 46–64. The button's left edge is at screen x 1000.
struct StatusBarFixture : ::testing::Test {
    VirtualMainQueue queue;
    SettingsStore settings;
    sim::SimEventPoster poster{queue};
    SwitchingWindowServer windowServer;
    sim::SimSwitchPermission permission{poster};
    sim::HeadlessApplication application;
    sim::HeadlessAlertPresenter alerts;
    sim::HeadlessScreen screen;
    std::shared_ptr<sim::HeadlessButton> button = std::make_shared<sim::HeadlessButton>();
    std::shared_ptr<sim::HeadlessMenu> menu = std::make_shared<sim::HeadlessMenu>();
    std::shared_ptr<RecordingContent> content = std::make_shared<RecordingContent>();
    sim::HeadlessPanelWindow* panelWindow = nullptr;
    int panelsMade = 0;
    std::shared_ptr<StatusBar> statusBar;

    std::vector<Space> spaces{makeSpace("Main", "a", true), makeSpace("Main", "b", false),
                              makeSpace("Side", "c", true)};

    StatusBarFixture() {
        settings::registerDefaults(settings);
        statusBar = StatusBar::create(
            {queue, settings, poster, windowServer, permission, application, alerts, screen},
            {button, menu,
             [this] {
                 ++panelsMade;
                 auto window = std::make_unique<sim::HeadlessPanelWindow>(queue);
                 panelWindow = window.get();
                 return window;
             }},
            content);
    }

    static IconLayoutRef layoutOf(std::map<std::string, Rect, std::less<>> rects,
                                  Size size = {66.5, 12}) {
        auto layout = std::make_shared<IconLayout>();
        layout->image = Image::drawn(size, true, [](Canvas&, Rect) {});
        layout->spaceRects = std::move(rects);
        return layout;
    }
    static IconLayoutRef twoDisplays() {
        return layoutOf({{"a", {0, 0, 18, 12}}, {"b", {20.5, 0, 18, 12}}, {"c", {46, 0, 18, 12}}});
    }
    void show() { statusBar->updateStatusItem(twoDisplays(), spaces); }

    bool mouse(MouseButton which, MouseAction action, Point at,
               ModifierFlags modifiers = ModifierFlags::None) {
        return application.dispatch({which, action, sim::kHeadlessStatusWindow, at, modifiers});
    }
    void click(Point at, ModifierFlags modifiers = ModifierFlags::None) {
        mouse(MouseButton::Left, MouseAction::Down, at, modifiers);
        mouse(MouseButton::Left, MouseAction::Up, at, modifiers);
    }
    // The pointer over the button, as the toolkit reports it and the screen sees it.
    void moveTo(Point inButton) {
        screen.movePointer({inButton.x + sim::kHeadlessButtonScreenX, inButton.y});
        button->pointerMoved(inButton);
    }
    void enter() { button->pointerEntered(); }
    void leaveToNowhere() {
        screen.movePointer({10, 2000});
        button->pointerExited();
    }
    void openPanelOver(Point inButton) {
        enter();
        moveTo(inButton);
        queue.advance(StatusBar::kDwellDelay);
        ASSERT_TRUE(statusBar->isPopoverShown());
    }
    // Gestures as (display, forward), one per swipe-ended event.
    std::vector<std::pair<std::string, bool>> gestures() const {
        std::vector<std::pair<std::string, bool>> result;
        for (const auto& posted : poster.posted())
            if (posted.event.integerField(DesktopSwitcher::kFieldGesturePhase) ==
                DesktopSwitcher::kPhaseEnded)
                result.emplace_back(posted.display, *posted.event.doubleField(
                                                        DesktopSwitcher::kFieldSwipeProgress) > 0);
        return result;
    }
    double panelCenterInButton() const {
        return panelWindow->frame().midX() - sim::kHeadlessButtonScreenX;
    }
};

} // namespace tidemark::testing
