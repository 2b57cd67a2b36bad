#pragma once

#include "app/AppDelegate.h"
#include "platform/sim/HeadlessViews.h"
#include "platform/sim/SimEventPoster.h"
#include "platform/sim/SimPlatform.h"

#include <functional>
#include <memory>

namespace tidemark::sim {

// The app without a toolkit: the delegate with its status bar over headless views and a
// simulated desktop. It also plays the pointer: over the status item from `pointerEntered`
// to `pointerExited` (at the last move), over the panel from `panelEntered` to
// `panelExited`, elsewhere otherwise.
class HeadlessApp {
public:
    HeadlessApp(SimPlatform& platform,
                std::function<std::shared_ptr<PopoverContent>()> makePopoverContent);
    ~HeadlessApp();

    void pointerEntered();
    void pointerExited();
    void pointerMoved(Point inButton);
    void panelEntered();
    void panelExited();
    // A button event on the status item; answers whether it reached the button.
    bool mouse(MouseButton button, MouseAction action, Point inButton, ModifierFlags modifiers);
    void scroll(Point inButton, int notches) { button->wheelTurned(inButton, notches); }
    // A row of the panel pressed and dragged; the pointer's moves carry it until it is
    // released where the pointer is.
    void rowDragged(std::int32_t pid);
    void rowDropped();

    StatusBar& statusBar() { return *delegate->statusBar(); }
    // Null until the panel is first shown.
    HeadlessPanelWindow* panelWindow() const { return panelWindow_; }
    // The panel is on screen (also while it fades out).
    bool isPanelOnScreen() const { return panelWindow_ && panelWindow_->isVisible(); }

    SimPlatform& platform;
    SimEventPoster poster;
    SimSwitchPermission permission{poster};
    HeadlessApplication application;
    HeadlessAlertPresenter alerts;
    HeadlessScreen screen;
    std::shared_ptr<HeadlessButton> button = std::make_shared<HeadlessButton>();
    std::shared_ptr<HeadlessMenu> menu = std::make_shared<HeadlessMenu>();
    std::shared_ptr<AppDelegate> delegate;

private:
    void placePointer();
    void placePointerOnScreen();

    HeadlessPanelWindow* panelWindow_ = nullptr;
    bool overStatusItem_ = false;
    bool overPanel_ = false;
    Point lastMove_;
};

} // namespace tidemark::sim
