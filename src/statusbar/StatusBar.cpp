#include "statusbar/StatusBar.h"

#include "preferences/SettingsKeys.h"
#include "statusbar/ApplicationName.h"
#include "statusbar/HitTest.h"

namespace tidemark {

// Runs `action` on the controller when it still exists.
template <typename Action> auto weakly(const std::weak_ptr<StatusBar>& weakSelf, Action action) {
    return [weakSelf, action = std::move(action)](auto&&... args) {
        if (auto self = weakSelf.lock())
            action(*self, std::forward<decltype(args)>(args)...);
    };
}

StatusBar::StatusBar(StatusBarServices services, StatusBarViews views,
                     std::shared_ptr<PopoverContent> content)
    : services_(services), views_(std::move(views)), popoverViewModel_(std::move(content)) {}

std::shared_ptr<StatusBar> StatusBar::create(StatusBarServices services, StatusBarViews views,
                                             std::shared_ptr<PopoverContent> content) {
    auto statusBar =
        std::shared_ptr<StatusBar>(new StatusBar(services, std::move(views), std::move(content)));
    statusBar->wire();
    return statusBar;
}

StatusBar::~StatusBar() {
    teardown();
}

void StatusBar::wire() {
    const std::weak_ptr<StatusBar> weakSelf = weak_from_this();
    popoverViewModel_->setOnDismissRequest(
        weakly(weakSelf, [](StatusBar& self) { self.hidePopover(); }));
    switcher_ =
        DesktopSwitcher::create(services_.mainQueue, services_.eventPoster, services_.windowServer,
                                weakly(weakSelf, [](StatusBar& self) { self.showSwitchAlert(); }));
    if (views_.button)
        views_.button->trackPointer(
            weakly(weakSelf, [](StatusBar& self) { self.pointerEntered(); }),
            weakly(weakSelf, [](StatusBar& self) { self.pointerExited(); }),
            weakly(weakSelf, [](StatusBar& self, Point p) { self.handleHoverMove(p); }));
    if (views_.button)
        views_.button->trackWheel(weakly(
            weakSelf, [](StatusBar& self, Point p, int notches) { self.scrollWheel(p, notches); }));
    services_.application.setMouseEventMonitor([weakSelf](const MouseEvent& event) {
        const auto self = weakSelf.lock();
        return !self || self->handleMouseEvent(event);
    });
    eventMonitorInstalled_ = true;
}

void StatusBar::teardown() {
    if (!eventMonitorInstalled_)
        return;
    eventMonitorInstalled_ = false;
    services_.application.setMouseEventMonitor({});
}

void StatusBar::updateStatusItem(IconLayoutRef layout, std::vector<Space> spaces) {
    if (views_.button)
        views_.button->setImage(layout ? layout->image : nullptr);
    currentSpaces_ = std::move(spaces);
    currentLayout_ = std::move(layout);
    // The glyphs moved or a space changed kind under a dragged row.
    if (rowDrag_) {
        rowDrag_->target = dropTargetAt(rowDrag_->lastPoint);
        showDropTarget();
    }
    if (!isPopoverShown_ || !hoveredSpaceID_)
        return;
    if (const Space* space = findSpace(*hoveredSpaceID_)) {
        popoverViewModel_->setSpace(*space);
        popoverViewModel_->updateOtherApps(*space, currentSpaces_, false);
    }
}

const Space* StatusBar::findSpace(const std::string& spaceID) const {
    for (const auto& space : currentSpaces_)
        if (space.spaceID == spaceID)
            return &space;
    return nullptr;
}

Rect StatusBar::imageRectInButton(const Image& image) const {
    const Rect bounds = views_.button->bounds();
    return tidemark::imageRectInButton(image.size(), bounds, views_.button->cellImageRect(bounds));
}

std::optional<Rect> StatusBar::buttonRectOnScreen() const {
    if (!views_.button)
        return std::nullopt;
    return views_.button->convertToScreen(views_.button->bounds());
}

// Clicks

bool StatusBar::handleMouseEvent(const MouseEvent& event) {
    if (!eventMonitorInstalled_ || !views_.button)
        return true;
    if (event.window != views_.button->window())
        return true;
    auto& button = *views_.button;
    if (event.button == MouseButton::Left && event.action == MouseAction::Down) {
        // The button highlights itself while pressed; undo that now and once the press has
        // been drawn.
        button.setHighlighted(false);
        services_.mainQueue.async(weakly(weak_from_this(), [](StatusBar& self) {
            if (self.views_.button)
                self.views_.button->setHighlighted(false);
        }));
        return true;
    }
    if (event.button == MouseButton::Right && event.action == MouseAction::Down) {
        hidePopover();
        if (views_.menu)
            views_.menu->popUp({0, button.bounds().height() + kMenuOffsetBelowButton});
        return false;
    }
    if (event.button == MouseButton::Left && event.action == MouseAction::Up) {
        // Command-dragging moves the status item; leave that to the system.
        if (hasFlag(event.modifiers, ModifierFlags::Command))
            return true;
        hidePopover();
        clickCooldown_ = true;
        handleStatusItemClick(event);
        if (views_.button)
            views_.button->setHighlighted(false);
        services_.mainQueue.asyncAfter(kClickCooldown,
                                       weakly(weak_from_this(), [](StatusBar& self) {
                                           self.clickCooldown_ = false;
                                           self.hoveredSpaceID_.reset();
                                       }));
        return false;
    }
    return false;
}

void StatusBar::statusBarButtonClicked(const std::optional<MouseEvent>& currentEvent) {
    handleStatusItemClick(currentEvent);
}

void StatusBar::handleStatusItemClick(const std::optional<MouseEvent>& currentEvent) {
    if (isPopoverShown_)
        hidePopover();
    if (!currentEvent || !views_.button || !currentLayout_)
        return;
    const ImageRef image = views_.button->image();
    if (!image)
        return;
    const auto id =
        hitTestSpace(currentEvent->locationInButton, image->size(), imageRectInButton(*image),
                     currentLayout_->spaceRects,
                     [this](const std::string& spaceID) { return findSpace(spaceID) != nullptr; });
    if (!id)
        return;
    const Space target = *findSpace(*id);
    if (!services_.permission.isTrusted()) {
        showSwitchAlert();
        return;
    }
    if (!target.isCurrentSpace)
        switcher_->switchToSpace(currentSpaces_, target);
}

std::optional<std::string> StatusBar::spaceIDAtPoint(Point inButton) const {
    if (!views_.button || !currentLayout_)
        return std::nullopt;
    const ImageRef image = views_.button->image();
    if (!image)
        return std::nullopt;
    return hitTestSpace(inButton, image->size(), imageRectInButton(*image),
                        currentLayout_->spaceRects);
}

void StatusBar::scrollWheel(Point inButton, int notches) {
    if (notches == 0 || !views_.button || !currentLayout_ ||
        !settings::scrollSwitchesSpaces(services_.settings))
        return;
    const TimeSeconds now = services_.mainQueue.now();
    // 1 ns of slack, so that a notch a whole guard later counts whatever the rounding.
    if (lastScrollStep_ && now - *lastScrollStep_ + 1e-9 < kScrollGuard)
        return;
    const ImageRef image = views_.button->image();
    if (!image)
        return;
    const auto id =
        nearestSpace(inButton, image->size(), imageRectInButton(*image), currentLayout_->spaceRects,
                     [this](const std::string& spaceID) { return findSpace(spaceID) != nullptr; });
    if (!id)
        return;
    const auto target = steppedSpace(currentSpaces_, findSpace(*id)->displayID, notches);
    if (!target)
        return;
    lastScrollStep_ = now;
    if (!services_.permission.isTrusted()) {
        showSwitchAlert();
        return;
    }
    switcher_->switchToSpace(currentSpaces_, *target);
}

std::string StatusBar::appName() const {
    return applicationName(services_.application.bundleDisplayName(),
                           services_.application.bundleName());
}

void StatusBar::showSwitchAlert() {
    if (isAlertShowing_)
        return;
    isAlertShowing_ = true;
    services_.application.activateIgnoringOtherApps();
    auto alert = services_.permission.alert(appName());
    services_.alerts.present(
        alert.content,
        weakly(weak_from_this(), [actions = std::move(alert.actions)](StatusBar& self, int button) {
            const auto index = std::size_t(button - 1);
            self.answerSwitchAlert(index < actions.size() ? actions[index]
                                                          : SwitchAlertAction::Dismiss);
        }));
}

void StatusBar::answerSwitchAlert(SwitchAlertAction action) {
    switch (action) {
    case SwitchAlertAction::OpenSettings:
        services_.permission.openSettings();
        break;
    case SwitchAlertAction::Quit:
        services_.application.terminate();
        break;
    case SwitchAlertAction::Dismiss:
        break;
    }
    isAlertShowing_ = false;
}

} // namespace tidemark
