#pragma once

#include "popover/SpacePopoverViewModel.h"
#include "statusbar/StatusBar.h"
#include "ui/QtPanelWindow.h"
#include "ui/popover/AppIconProvider.h"
#include "ui/popover/RowDragGesture.h"

#include <QPointer>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>

namespace tidemark::linux_platform::live {

// The live app's hover panel: its content model over this desktop's services, the desktop's
// window around the popover view, and, with `reporting`, the panel's report lines
// (ReportHooks).
class LivePanel {
public:
    // The desktop's panel window around a view; its native parts are made at once.
    using WindowMaker =
        std::function<std::unique_ptr<ui::ObservablePanelWindow>(std::unique_ptr<QWidget> view)>;

    // `icons` is the app icon source the platform's strip takes too.
    LivePanel(SpacePopoverServices services, std::shared_ptr<const ui::AppIconProvider> icons,
              WindowMaker makeWindow, bool reporting);

    const std::shared_ptr<SpacePopoverViewModel>& model() const { return model_; }
    // Builds the window and its view ahead of the first opening (after launch, when the app
    // is idle), so that opening never waits for them.
    void prepareWindow();
    // The status bar's panel window factory.
    std::unique_ptr<PanelWindow> makeWindow();
    // Hands the panel's row drags to the status bar, and starts the report lines when they
    // are asked for.
    void listen(StatusBar& statusBar);

private:
    void scheduleReport(int delayMs);
    void reportPlacement() const;
    ui::RowDragHandlers rowDragHandlers();

    std::shared_ptr<SpacePopoverViewModel> model_;
    std::shared_ptr<const ui::AppIconProvider> icons_;
    const WindowMaker windowMaker_;
    const bool reporting_;
    // The controls are reported once the view settled after a placement or a model change.
    QTimer reportTimer_;
    ObservationToken modelObservation_;
    std::unique_ptr<ui::ObservablePanelWindow> prepared_;
    // The status bar owns the window once made; its content goes with it.
    ui::ObservablePanelWindow* window_ = nullptr;
    QPointer<QWidget> windowContent_;
    std::optional<std::chrono::steady_clock::time_point> dwellFired_;
    // Shown as the status bar has it: a panel fading out after its dismissal is not reported.
    bool open_ = false;
    std::weak_ptr<StatusBar> statusBar_;
};

} // namespace tidemark::linux_platform::live
