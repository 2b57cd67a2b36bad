#pragma once

#include "statusbar/ViewPorts.h"

#include <functional>

namespace tidemark::ui {

// The application as the status bar sees it: the strip's mouse events are its events (handed
// to the strip's monitor through `installMonitor`), and quitting ends Qt's event loop.
class QtApplicationPort final : public ApplicationPort {
public:
    using MouseMonitor = std::function<bool(const MouseEvent&)>;
    explicit QtApplicationPort(std::function<void(MouseMonitor)> installMonitor)
        : installMonitor_(std::move(installMonitor)) {}

    std::optional<std::string> bundleDisplayName() const override;
    std::optional<std::string> bundleName() const override;
    void activateIgnoringOtherApps() override {}
    void terminate() override;
    void setMouseEventMonitor(std::function<bool(const MouseEvent&)> monitor) override;

private:
    std::function<void(MouseMonitor)> installMonitor_;
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
