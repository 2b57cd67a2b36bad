#pragma once

#include "spaces/SpaceObserver.h"
#include "ui/QtPanelWindow.h"

#include <chrono>
#include <functional>

namespace tidemark::linux_platform::live {

// The lines on standard error that the live tests and benchmarks read, each asked for by an
// environment variable that is read once, at launch:
//   TIDEMARK_REPORT_FIRST_IMAGE  tidemark: first image at NS ns after MS ms of CPU
//                                the strip's first image was painted (monotonic clock)
//   TIDEMARK_REPORT_REFRESHES    tidemark: refreshed the spaces
//                                one per refresh, published or not
//   TIDEMARK_REPORT_STRIP        tidemark: strip painted at X Y W H
//                                one per paint of the X11 strip, once the display server
//                                has the frame (the window's place in screen pixels)
//   TIDEMARK_REPORT_PANEL        tidemark: panel frame after N us
//                                the dwell fired, the panel's first frame is on screen
//                                tidemark: panel at X Y W H
//                                the panel was placed or its content changed (once
//                                its rows stopped sliding in or out)
//                                tidemark: panel control NAME X Y W H
//                                one per named control (screen pixels), after it
//                                tidemark: panel hidden
//                                the panel went
//   TIDEMARK_QT_WARNINGS         Qt's warnings too, as "tidemark: MESSAGE"
struct ReportHooks {
    bool firstImage = false;
    bool refreshes = false;
    bool stripPaints = false;
    bool panel = false;
    bool qtWarnings = false;

    static ReportHooks fromEnvironment();

    // Empty when not asked for.
    std::function<void()> firstImageListener() const;
    SpaceObserver::RefreshListener refreshListener() const;
    // Reports the paints of `strip` for as long as it lives, when asked for.
    void watchStripPaints(QWidget& strip) const;
};

// The panel's lines, for the panel to print when `panel` is set.
void reportPanelFrame(std::chrono::microseconds sinceDwell);
void reportPanelPlacement(const ui::ObservablePanelWindow& window);
void reportPanelHidden();

} // namespace tidemark::linux_platform::live
