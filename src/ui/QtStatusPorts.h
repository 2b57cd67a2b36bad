#pragma once

#include "statusbar/ViewPorts.h"
#include "ui/StripWindow.h"

#include <functional>

namespace tidemark::ui {

// The application as the status bar sees it: the strip window's mouse events are its
// events, and quitting ends Qt's event loop.
class QtApplicationPort final : public ApplicationPort {
public:
    explicit QtApplicationPort(StripWindow& strip) : strip_(strip) {}

    std::optional<std::string> bundleDisplayName() const override;
    std::optional<std::string> bundleName() const override;
    void activateIgnoringOtherApps() override {}
    void terminate() override;
    void setMouseEventMonitor(std::function<bool(const MouseEvent&)> monitor) override;

private:
    StripWindow& strip_;
};

// Alerts as message boxes above every window; modal, so `answered` runs before `present`
// returns.
class QtAlertPresenter final : public AlertPresenter {
public:
    void present(const AlertContent& alert, std::function<void(int button)> answered) override;
};

// The pointer from Qt; the usable part of a screen from whoever knows the outputs.
class QtScreenPort final : public ScreenPort {
public:
    explicit QtScreenPort(std::function<Rect(Rect)> visibleFrame)
        : visibleFrame_(std::move(visibleFrame)) {}
    Point pointerLocation() const override;
    Rect visibleFrame(Rect rect) const override { return visibleFrame_(rect); }

private:
    std::function<Rect(Rect)> visibleFrame_;
};

} // namespace tidemark::ui
