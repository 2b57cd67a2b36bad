#include "main/LivePanel.h"

#include "platform/linux/x11/Compositor.h"
#include "ui/NamedControls.h"
#include "ui/popover/SpacePopoverView.h"

#include <QIcon>
#include <QtGlobal>
#include <cmath>
#include <iostream>
#include <sstream>

namespace tidemark::cli {

namespace {

// Long enough for the view's rebuild, its rows' queued showing and a refit.
constexpr int kReportDelayMs = 100;

void printRect(std::ostream& out, const Rect& r) {
    out << std::lround(r.minX()) << ' ' << std::lround(r.minY()) << ' ' << std::lround(r.width())
        << ' ' << std::lround(r.height()) << '\n';
}

} // namespace

LivePanel::LivePanel(linux_platform::LinuxPlatform& platform)
    : x_(platform.x), model_(SpacePopoverViewModel::create(platform.popoverServices())),
      icons_(std::make_shared<const ui::AppIconProvider>(
          &platform.workspace,
          [&workspace = platform.workspace](const std::string& appKey) {
              return workspace.desktopIconName(appKey);
          })),
      compositing_(linux_platform::compositorRunning(*platform.x)),
      reporting_(qEnvironmentVariableIsSet("TIDEMARK_REPORT_PANEL")) {
    if (!reporting_)
        return;
    reportTimer_.setSingleShot(true);
    reportTimer_.setInterval(kReportDelayMs);
    QObject::connect(&reportTimer_, &QTimer::timeout, [this] { reportPlacement(); });
    modelObservation_ =
        model_->observeChanges([this](const PopoverChange&) { reportTimer_.start(); });
}

void LivePanel::prepareWindow() {
    if (prepared_ || window_)
        return;
    prepared_ = std::make_unique<ui::QtPanelWindow>(
        std::make_unique<ui::SpacePopoverView>(model_, icons_), compositing_);
    // The native window, its fonts and style, and the icon theme's index, now.
    const auto native = xcb_window_t(prepared_->winId());
    if (compositing_)
        linux_platform::requestBlurBehind(*x_, native);
    prepared_->ensurePolished();
    prepared_->fittingSize();
    QIcon::hasThemeIcon(QStringLiteral("application-x-executable"));
    if (reporting_)
        prepared_->setPlacementListener([this] { reportTimer_.start(); });
}

std::unique_ptr<PanelWindow> LivePanel::makeWindow() {
    prepareWindow();
    window_ = prepared_.get();
    return std::move(prepared_);
}

void LivePanel::listen(StatusBar& statusBar) {
    if (!reporting_)
        return;
    const auto opening = [this](const std::string&) {
        dwellFired_ = std::chrono::steady_clock::now();
    };
    const auto shown = [this](const std::string&) {
        if (!window_ || !dwellFired_)
            return;
        window_->notifyNextFrame([fired = *dwellFired_] {
            const auto elapsed = std::chrono::steady_clock::now() - fired;
            std::cerr << "tidemark: panel frame after "
                      << std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()
                      << " us\n";
        });
    };
    statusBar.setPanelListener({.opening = opening, .shown = shown, .moved = {}, .hidden = {}});
}

void LivePanel::reportPlacement() const {
    if (!window_ || !window_->isVisible())
        return;
    // Written at once, so a reader of the log never sees half a placement.
    std::ostringstream report;
    report << "tidemark: panel at ";
    printRect(report, window_->frame());
    for (const auto& control : ui::namedControls(*window_)) {
        report << "tidemark: panel control " << control.name << ' ';
        printRect(report, control.onScreen);
    }
    std::cerr << report.str() << std::flush;
}

} // namespace tidemark::cli
