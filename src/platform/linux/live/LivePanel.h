#pragma once

#include "platform/linux/LinuxPlatform.h"
#include "popover/SpacePopoverViewModel.h"
#include "statusbar/StatusBar.h"
#include "ui/QtPanelWindow.h"
#include "ui/popover/AppIconProvider.h"

#include <QPointer>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>

namespace tidemark::cli {

// The live app's hover panel: its content model over this desktop's services, the Qt window
// around the popover view, and the report lines that live tests and benchmarks read when
// TIDEMARK_REPORT_PANEL is set:
//   tidemark: panel frame after N us          the dwell fired, the first frame is on screen
//   tidemark: panel at X Y W H                the window was placed or its content changed
//   tidemark: panel control NAME X Y W H      one per named control (screen pixels), after it
class LivePanel {
public:
    explicit LivePanel(linux_platform::LinuxPlatform& platform);

    const std::shared_ptr<SpacePopoverViewModel>& model() const { return model_; }
    // Builds the window and its view ahead of the first opening (after launch, when the app
    // is idle), so that opening never waits for them.
    void prepareWindow();
    // The status bar's panel window factory.
    std::unique_ptr<PanelWindow> makeWindow();
    // Starts the report lines when the environment asks for them.
    void listen(StatusBar& statusBar);

private:
    void reportPlacement() const;

    std::shared_ptr<linux_platform::XConnection> x_;
    std::shared_ptr<SpacePopoverViewModel> model_;
    std::shared_ptr<const ui::AppIconProvider> icons_;
    const bool compositing_;
    const bool reporting_;
    // The controls are reported once the view settled after a placement or a model change.
    QTimer reportTimer_;
    ObservationToken modelObservation_;
    std::unique_ptr<ui::QtPanelWindow> prepared_;
    QPointer<ui::QtPanelWindow> window_;
    std::optional<std::chrono::steady_clock::time_point> dwellFired_;
};

} // namespace tidemark::cli
