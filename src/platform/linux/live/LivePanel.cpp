#include "platform/linux/live/LivePanel.h"

#include "platform/linux/live/ReportHooks.h"
#include "ui/popover/SpacePopoverView.h"

#include <QIcon>
#include <algorithm>
#include <cmath>

namespace tidemark::linux_platform::live {

namespace {

// Long enough for the view's rebuild, its rows' queued showing and a refit.
constexpr int kReportDelayMs = 100;

} // namespace

LivePanel::LivePanel(SpacePopoverServices services,
                     std::shared_ptr<const ui::AppIconProvider> icons, WindowMaker makeWindow,
                     bool reporting)
    : model_(SpacePopoverViewModel::create(services)), icons_(std::move(icons)),
      windowMaker_(std::move(makeWindow)), reporting_(reporting) {
    if (!reporting_)
        return;
    reportTimer_.setSingleShot(true);
    QObject::connect(&reportTimer_, &QTimer::timeout, [this] { reportPlacement(); });
    modelObservation_ = model_->observeChanges([this](const PopoverChange& change) {
        // Rows that slide in or out are reported once they are still.
        const auto rowsMoving =
            change.transition ? int(std::lround(change.transition->duration * 1000)) : 0;
        scheduleReport(kReportDelayMs + rowsMoving);
    });
}

void LivePanel::scheduleReport(int delayMs) {
    // Never sooner than a report already due: a later change must not cut a transition short.
    reportTimer_.start(std::max(delayMs, reportTimer_.remainingTime()));
}

void LivePanel::prepareWindow() {
    if (prepared_ || window_)
        return;
    auto view = std::make_unique<ui::SpacePopoverView>(model_, icons_);
    view->setRowDragHandlers(rowDragHandlers());
    prepared_ = windowMaker_(std::move(view));
    // Its fonts and style, and the icon theme's index, now.
    prepared_->content()->ensurePolished();
    prepared_->fittingSize();
    QIcon::hasThemeIcon(QStringLiteral("application-x-executable"));
    if (reporting_)
        prepared_->setPlacementListener([this] { scheduleReport(kReportDelayMs); });
}

std::unique_ptr<PanelWindow> LivePanel::makeWindow() {
    prepareWindow();
    window_ = prepared_.get();
    windowContent_ = window_->content();
    return std::move(prepared_);
}

ui::RowDragHandlers LivePanel::rowDragHandlers() {
    const auto point = [](QPoint p) { return Point{double(p.x()), double(p.y())}; };
    return {.begin =
                [this](std::int32_t pid) {
                    const auto bar = statusBar_.lock();
                    return bar && bar->beginRowDrag(pid);
                },
            .moved =
                [this, point](QPoint p) {
                    if (const auto bar = statusBar_.lock())
                        bar->rowDragMoved(point(p));
                },
            .dropped =
                [this, point](QPoint p) {
                    if (const auto bar = statusBar_.lock())
                        bar->dropRow(point(p));
                },
            .cancelled =
                [this] {
                    if (const auto bar = statusBar_.lock())
                        bar->cancelRowDrag();
                }};
}

void LivePanel::listen(StatusBar& statusBar) {
    statusBar_ = statusBar.weak_from_this();
    if (!reporting_)
        return;
    const auto opening = [this](const std::string&) {
        dwellFired_ = std::chrono::steady_clock::now();
    };
    const auto shown = [this](const std::string&) {
        open_ = true;
        if (!windowContent_ || !dwellFired_)
            return;
        window_->notifyNextFrame([fired = *dwellFired_] {
            reportPanelFrame(std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - fired));
        });
    };
    // A placement still due when the panel goes (its content refitted while it fades) would
    // read as the panel back after its hidden line.
    const auto hidden = [this] {
        open_ = false;
        reportTimer_.stop();
        reportPanelHidden();
    };
    statusBar.setPanelListener({.opening = opening, .shown = shown, .moved = {}, .hidden = hidden});
}

void LivePanel::reportPlacement() const {
    if (!open_ || !windowContent_ || !window_->isVisible())
        return;
    reportPanelPlacement(*window_);
}

} // namespace tidemark::linux_platform::live
