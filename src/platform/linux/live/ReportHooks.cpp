#include "platform/linux/live/ReportHooks.h"

#include "ui/NamedControls.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <sstream>
#include <sys/resource.h>

namespace tidemark::linux_platform::live {
namespace {

bool isSet(const char* name) {
    return std::getenv(name) != nullptr;
}

void printRect(std::ostream& out, const Rect& r) {
    out << std::lround(r.minX()) << ' ' << std::lround(r.minY()) << ' ' << std::lround(r.width())
        << ' ' << std::lround(r.height()) << '\n';
}

// A paint only fills the backing store; the flush to the display server follows it, so the
// line waits for the next turn of the event loop and a round trip to the server.
class StripPaintReporter final : public QObject {
public:
    explicit StripPaintReporter(QWidget& strip) : QObject(&strip), strip_(strip) {
        strip.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, [this] { report(); });
        return false;
    }

private:
    void report() const {
        QGuiApplication::sync();
        const QPoint origin = strip_.mapToGlobal(QPoint(0, 0));
        std::cerr << "tidemark: strip painted at " << origin.x() << ' ' << origin.y() << ' '
                  << strip_.width() << ' ' << strip_.height() << std::endl;
    }

    QWidget& strip_;
};

} // namespace

ReportHooks ReportHooks::fromEnvironment() {
    return {.firstImage = isSet("TIDEMARK_REPORT_FIRST_IMAGE"),
            .refreshes = isSet("TIDEMARK_REPORT_REFRESHES"),
            .stripPaints = isSet("TIDEMARK_REPORT_STRIP"),
            .panel = isSet("TIDEMARK_REPORT_PANEL"),
            .qtWarnings = isSet("TIDEMARK_QT_WARNINGS")};
}

std::function<void()> ReportHooks::firstImageListener() const {
    if (!firstImage)
        return {};
    return [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
                           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
        std::cerr << "tidemark: first image at " << now.tv_sec * 1000000000LL + now.tv_nsec
                  << " ns after " << cpuMs << " ms of CPU\n";
    };
}

SpaceObserver::RefreshListener ReportHooks::refreshListener() const {
    if (!refreshes)
        return {};
    return [](bool) { std::cerr << "tidemark: refreshed the spaces" << std::endl; };
}

void ReportHooks::watchStripPaints(QWidget& strip) const {
    if (stripPaints)
        new StripPaintReporter(strip);
}

void reportPanelFrame(std::chrono::microseconds sinceDwell) {
    std::cerr << "tidemark: panel frame after " << sinceDwell.count() << " us\n";
}

void reportPanelPlacement(const ui::ObservablePanelWindow& window) {
    // Written at once, so a reader of the log never sees half a placement.
    std::ostringstream report;
    report << "tidemark: panel at ";
    printRect(report, window.frame());
    const auto controls =
        window.content() ? ui::namedControls(*window.content()) : std::vector<ui::NamedControl>{};
    for (const auto& control : controls) {
        report << "tidemark: panel control " << control.name << ' ';
        printRect(report, control.onScreen);
    }
    std::cerr << report.str() << std::flush;
}

void reportPanelHidden() {
    std::cerr << "tidemark: panel hidden" << std::endl;
}

} // namespace tidemark::linux_platform::live
