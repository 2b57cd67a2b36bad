#include "platform/sim/HeadlessViews.h"

namespace tidemark::sim {

void HeadlessButton::setImage(ImageRef image) {
    image_ = std::move(image);
    if (onImage)
        onImage(image_);
}

Rect HeadlessButton::bounds() const {
    return image_ ? Rect{{0, 0}, image_->size()} : Rect{};
}

std::optional<Rect> HeadlessButton::convertToScreen(Rect inButton) const {
    if (!window_)
        return std::nullopt;
    return Rect{inButton.minX() + kHeadlessButtonScreenX, inButton.minY() + kHeadlessScreen.minY(),
                inButton.width(), inButton.height()};
}

void HeadlessButton::trackPointer(std::function<void()> entered, std::function<void()> exited,
                                  std::function<void(Point)> moved) {
    entered_ = std::move(entered);
    exited_ = std::move(exited);
    moved_ = std::move(moved);
}

void HeadlessButton::pointerEntered() const {
    if (entered_)
        entered_();
}

void HeadlessButton::pointerExited() const {
    if (exited_)
        exited_();
}

void HeadlessButton::pointerMoved(Point inButton) const {
    if (moved_)
        moved_(inButton);
}

void HeadlessButton::wheelTurned(Point inButton, int notches) const {
    if (turned_)
        turned_(inButton, notches);
}

void HeadlessMenu::popUp(Point inButton) {
    popUps_.push_back(inButton);
    if (onPopUp)
        onPopUp(inButton);
}

void HeadlessPanelWindow::animateAlpha(double alpha, TimeSeconds duration, AnimationCurve,
                                       std::function<void()> completion) {
    std::weak_ptr<int> alive = lifetime_;
    queue_.asyncAfter(duration, [this, alive, alpha, completion = std::move(completion)] {
        if (alive.expired())
            return;
        alpha_ = alpha;
        if (completion)
            completion();
    });
}

void HeadlessPanelWindow::trackPointer(std::function<void()> entered,
                                       std::function<void()> exited) {
    entered_ = std::move(entered);
    exited_ = std::move(exited);
}

void HeadlessPanelWindow::resizeContent(Size size) {
    contentSize_ = size;
    const Rect proposed{frame_.origin, size};
    setFrame(filter_ ? filter_(proposed) : proposed);
}

void HeadlessPanelWindow::pointerEntered() const {
    if (entered_)
        entered_();
}

void HeadlessPanelWindow::pointerExited() const {
    if (exited_)
        exited_();
}

void HeadlessAlertPresenter::present(const AlertContent& alert, std::function<void(int)> answered) {
    shown_ = alert;
    answered_ = std::move(answered);
    ++presented_;
    if (onPresent)
        onPresent(alert);
}

bool HeadlessAlertPresenter::answer(int button) {
    if (!shown_)
        return false;
    shown_.reset();
    auto answered = std::move(answered_);
    answered_ = {};
    if (answered)
        answered(button);
    return true;
}

SwitchAlert SimSwitchPermission::alert(const std::string& appName) const {
    const std::string quitLabel = "\"Quit " + appName + "\"";
    SwitchAlert alert;
    alert.content.style = AlertStyle::Warning;
    alert.content.messageText = "Accessibility Permission Required";
    alert.content.informativeText =
        "In order for clicking a space to switch Desktops to work, Accessibility permission "
        "must be granted and the app needs to be restarted.\n"
        "\n"
        "1. Grant Permission:\n"
        "Open System Settings → Privacy & Security → Accessibility, and enable " +
        appName +
        ".\n"
        "\n"
        "2. Restart " +
        appName +
        ":\n"
        "After enabling the permission, macOS requires the app to be restarted to apply "
        "changes. Right-click the " +
        appName + " menu bar icon and select " + quitLabel + " (or click " + quitLabel +
        " below), then launch it again.";
    alert.content.buttons = {"Open System Settings", "Quit " + appName, "Cancel"};
    alert.actions = {SwitchAlertAction::OpenSettings, SwitchAlertAction::Quit,
                     SwitchAlertAction::Dismiss};
    return alert;
}

} // namespace tidemark::sim
