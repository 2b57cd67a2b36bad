#pragma once

#include "foundation/VirtualMainQueue.h"
#include "statusbar/EventPoster.h"
#include "statusbar/ViewPorts.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Views without a toolkit, in virtual time: each records what it is told. The status item's
// button is exactly as large as its image, its left edge at screen x 1000 at the top of a
// screen 4000 points wide, so no panel ever touches a screen edge.

namespace tidemark::sim {

inline constexpr double kHeadlessButtonScreenX = 1000;
inline constexpr Rect kHeadlessScreen{0, 0, 4000, 2500};
inline constexpr WindowID kHeadlessStatusWindow = 1;

class HeadlessButton final : public StatusItemButton {
public:
    void setImage(ImageRef image) override;
    ImageRef image() const override { return image_; }
    Rect bounds() const override;
    std::optional<Rect> cellImageRect(Rect bounds) const override { return bounds; }
    std::optional<WindowID> window() const override { return window_; }
    std::optional<Rect> convertToScreen(Rect inButton) const override;
    void setHighlighted(bool highlighted) override { highlights_.push_back(highlighted); }
    void setDropTarget(std::optional<Rect> glyphInButton) override { dropTarget_ = glyphInButton; }
    void trackPointer(std::function<void()> entered, std::function<void()> exited,
                      std::function<void(Point)> moved) override;
    void trackWheel(std::function<void(Point, int)> turned) override {
        turned_ = std::move(turned);
    }

    // What the toolkit would report.
    void pointerEntered() const;
    void pointerExited() const;
    void pointerMoved(Point inButton) const;
    void wheelTurned(Point inButton, int notches) const;
    void setWindow(std::optional<WindowID> window) { window_ = window; }
    // Hears each image set.
    std::function<void(const ImageRef&)> onImage;
    const std::vector<bool>& highlights() const { return highlights_; }
    const std::optional<Rect>& dropTarget() const { return dropTarget_; }

private:
    ImageRef image_;
    std::optional<WindowID> window_ = kHeadlessStatusWindow;
    std::vector<bool> highlights_;
    std::optional<Rect> dropTarget_;
    std::function<void()> entered_;
    std::function<void()> exited_;
    std::function<void(Point)> moved_;
    std::function<void(Point, int)> turned_;
};

class HeadlessMenu final : public StatusMenu {
public:
    void popUp(Point inButton) override;
    std::function<void(Point)> onPopUp;
    const std::vector<Point>& popUps() const { return popUps_; }

private:
    std::vector<Point> popUps_;
};

// Fades take their virtual time; the completion of each runs when it is over.
class HeadlessPanelWindow final : public PanelWindow {
public:
    explicit HeadlessPanelWindow(VirtualMainQueue& queue, Size contentSize = {280, 320})
        : queue_(queue), contentSize_(contentSize) {}

    bool hasContent() const override { return true; }
    Size fittingSize() override { return contentSize_; }
    void setFrame(Rect frame) override { frame_ = frame; }
    Rect frame() const override { return frame_; }
    bool isVisible() const override { return visible_; }
    void orderFrontRegardless() override { visible_ = true; }
    void orderOut() override { visible_ = false; }
    void setAlpha(double alpha) override { alpha_ = alpha; }
    void animateAlpha(double alpha, TimeSeconds duration, AnimationCurve curve,
                      std::function<void()> completion) override;
    void trackPointer(std::function<void()> entered, std::function<void()> exited) override;
    void setFrameFilter(std::function<Rect(Rect)> filter) override { filter_ = std::move(filter); }

    double alpha() const { return alpha_; }
    // The content grows or shrinks: the window asks for a new frame, as a toolkit does.
    void resizeContent(Size size);
    void pointerEntered() const;
    void pointerExited() const;

private:
    VirtualMainQueue& queue_;
    Size contentSize_;
    Rect frame_;
    bool visible_ = false;
    double alpha_ = 1;
    std::function<void()> entered_;
    std::function<void()> exited_;
    std::function<Rect(Rect)> filter_;
    // Fades that end after the window is gone do nothing.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

// An alert stays up until `answer` is called.
class HeadlessAlertPresenter final : public AlertPresenter {
public:
    void present(const AlertContent& alert, std::function<void(int)> answered) override;
    // Answers the alert on screen with a 1-based button; false when none is shown.
    bool answer(int button);
    const std::optional<AlertContent>& shown() const { return shown_; }
    int presentedCount() const { return presented_; }
    std::function<void(const AlertContent&)> onPresent;

private:
    std::optional<AlertContent> shown_;
    std::function<void(int)> answered_;
    int presented_ = 0;
};

class HeadlessScreen final : public ScreenPort {
public:
    Point pointerLocation() const override { return pointer_; }
    Rect visibleFrame(Rect) const override { return visibleFrame_; }
    void movePointer(Point onScreen) { pointer_ = onScreen; }
    void setVisibleFrame(Rect frame) { visibleFrame_ = frame; }

private:
    // Nowhere near the status item or a panel.
    Point pointer_{10, kHeadlessScreen.maxY() - 10};
    Rect visibleFrame_ = kHeadlessScreen;
};

class HeadlessApplication final : public ApplicationPort {
public:
    std::optional<std::string> bundleDisplayName() const override { return displayName; }
    std::optional<std::string> bundleName() const override { return name; }
    void activateIgnoringOtherApps() override { ++activations; }
    void terminate() override { ++terminations; }
    void setMouseEventMonitor(std::function<bool(const MouseEvent&)> monitor) override {
        monitor_ = std::move(monitor);
    }
    // Dispatches an event as the toolkit would; answers whether it reached its window.
    bool dispatch(const MouseEvent& event) const { return !monitor_ || monitor_(event); }
    bool hasMonitor() const { return bool(monitor_); }

    std::optional<std::string> displayName;
    std::optional<std::string> name;
    int activations = 0;
    int terminations = 0;

private:
    std::function<bool(const MouseEvent&)> monitor_;
};

// Trusted exactly when the poster is, as on a desktop where one service answers both. Its
// alert explains how to grant the accessibility permission of the scenarios' desktop; the
// buttons open the settings, quit and cancel.
class SimSwitchPermission final : public SwitchPermission {
public:
    explicit SimSwitchPermission(EventPoster& poster) : poster_(poster) {}
    bool isTrusted() override { return poster_.isProcessTrusted(); }
    SwitchAlert alert(const std::string& appName) const override;
    void openSettings() override { ++settingsOpened; }
    int settingsOpened = 0;

private:
    EventPoster& poster_;
};

} // namespace tidemark::sim
