#include "preferences/SettingsKeys.h"
#include "statusbar/HitTest.h"
#include "statusbar/StatusBar.h"

// The hover half of the status bar: pointer tracking, the dwell and dismiss timers and the
// panel under the glyph.

namespace tidemark {

void StatusBar::cancelTimer(std::shared_ptr<WorkItem>& timer) {
    if (timer)
        timer->cancel();
    timer.reset();
}

void StatusBar::pointerEntered() {
    cancelTimer(dismissTimer_);
}

void StatusBar::pointerExited() {
    // A dragged row keeps the panel where it is; the drop decides what follows.
    if (rowDrag_)
        return;
    cancelTimer(dwellTimer_);
    hoveredSpaceID_.reset();
    if (isPopoverShown_)
        scheduleDismiss();
}

void StatusBar::handleHoverMove(Point inButton) {
    if (clickCooldown_ || rowDrag_)
        return;
    if (!settings::hoverPopupEnabled(services_.settings)) {
        if (isPopoverShown_)
            hidePopover();
        return;
    }
    const auto id = spaceIDAtPoint(inButton);
    if (!id) {
        if (!hoveredSpaceID_)
            return;
        hoveredSpaceID_.reset();
        if (isPopoverShown_)
            scheduleDismiss();
        return;
    }
    cancelTimer(dismissTimer_);
    if (hoveredSpaceID_ == id)
        return;
    hoveredSpaceID_ = id;
    if (!isPopoverShown_) {
        cancelTimer(dwellTimer_);
        const std::weak_ptr<StatusBar> weakSelf = weak_from_this();
        dwellTimer_ = services_.mainQueue.scheduleTimer(kDwellDelay, kTimerTolerance,
                                                        [weakSelf, spaceID = *id] {
                                                            if (auto self = weakSelf.lock()) {
                                                                self->dwellTimer_.reset();
                                                                self->showPopover(spaceID);
                                                            }
                                                        });
        return;
    }
    // The panel follows the pointer from glyph to glyph without a new dwell.
    switchPopoverSpace(*id);
    repositionPanel(*id);
    if (panelListener_.moved)
        panelListener_.moved(*id);
}

void StatusBar::scheduleDismiss() {
    cancelTimer(dismissTimer_);
    if (rowDrag_)
        return;
    const std::weak_ptr<StatusBar> weakSelf = weak_from_this();
    dismissTimer_ = services_.mainQueue.scheduleTimer(kDismissDelay, kTimerTolerance, [weakSelf] {
        if (auto self = weakSelf.lock()) {
            self->dismissTimer_.reset();
            self->dismissCheck();
        }
    });
}

void StatusBar::dismissCheck() {
    if (!isPopoverShown_)
        return;
    const Point pointer = services_.screen.pointerLocation();
    if (hoverPanel_ && hoverPanel_->isVisible() && hoverPanel_->frame().contains(pointer))
        return;
    const auto buttonRect =
        views_.button && views_.button->window() ? buttonRectOnScreen() : std::nullopt;
    if (buttonRect && buttonRect->contains(pointer) && hoveredSpaceID_)
        return;
    hidePopover();
}

void StatusBar::feedPopover(const Space& space) {
    panelSpaceID_ = space.spaceID;
    popoverViewModel_->setSpace(space);
    popoverViewModel_->updateMemory(space);
    popoverViewModel_->updateOtherApps(space, currentSpaces_, true);
}

void StatusBar::showPopover(const std::string& spaceID) {
    const Space* space = findSpace(spaceID);
    if (!space || !views_.button)
        return;
    if (panelListener_.opening)
        panelListener_.opening(spaceID);
    feedPopover(*space);
    const auto panel = makeHoverPanel();
    if (!panel)
        return;
    panel->showBelow(buttonRectOnScreen().value_or(Rect{}), glyphCenterXOnScreen(spaceID));
    isPopoverShown_ = true;
    if (panelListener_.shown)
        panelListener_.shown(spaceID);
}

void StatusBar::switchPopoverSpace(const std::string& spaceID) {
    if (const Space* space = findSpace(spaceID))
        feedPopover(*space);
}

void StatusBar::repositionPanel(const std::string& spaceID) {
    if (!hoverPanel_ || !views_.button)
        return;
    hoverPanel_->moveBelow(buttonRectOnScreen().value_or(Rect{}), glyphCenterXOnScreen(spaceID));
}

double StatusBar::glyphCenterXOnScreen(const std::string& spaceID) const {
    if (views_.button && views_.button->window() && currentLayout_) {
        const ImageRef image = views_.button->image();
        const auto glyph = currentLayout_->spaceRects.find(spaceID);
        if (image && glyph != currentLayout_->spaceRects.end()) {
            const Rect inButton = imageRectInButton(*image);
            const double scale = inButton.width() > 0 ? inButton.width() / image->size().width : 1;
            const double x = inButton.minX() + scale * glyph->second.midX();
            if (const auto onScreen = views_.button->convertToScreen({x, 0, 0, 0}))
                return onScreen->minX();
        }
    }
    return buttonRectOnScreen().value_or(Rect{}).midX();
}

std::shared_ptr<HoverPanel> StatusBar::makeHoverPanel() {
    if (hoverPanel_ || !views_.makePanelWindow)
        return hoverPanel_;
    auto window = views_.makePanelWindow();
    if (!window)
        return nullptr;
    hoverPanel_ = HoverPanel::create(std::move(window), services_.screen);
    const std::weak_ptr<StatusBar> weakSelf = weak_from_this();
    hoverPanel_->onMouseEnteredPanel = [weakSelf] {
        if (auto self = weakSelf.lock())
            self->cancelTimer(self->dismissTimer_);
    };
    hoverPanel_->onMouseExitedPanel = [weakSelf] {
        if (auto self = weakSelf.lock())
            self->scheduleDismiss();
    };
    return hoverPanel_;
}

void StatusBar::hidePopover() {
    cancelTimer(dwellTimer_);
    cancelTimer(dismissTimer_);
    const bool wasShown = isPopoverShown_;
    isPopoverShown_ = false;
    hoveredSpaceID_.reset();
    panelSpaceID_.reset();
    if (rowDrag_) {
        rowDrag_.reset();
        showDropTarget();
    }
    if (hoverPanel_) {
        const std::weak_ptr<StatusBar> weakSelf = weak_from_this();
        hoverPanel_->dismissAnimated([weakSelf] {
            // A show during the fade-out keeps the content.
            if (auto self = weakSelf.lock(); self && !self->isPopoverShown_)
                self->popoverViewModel_->reset();
        });
    }
    if (wasShown && panelListener_.hidden)
        panelListener_.hidden();
}

} // namespace tidemark
