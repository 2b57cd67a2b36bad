#include "platform/linux/live/StripPlacement.h"

#include "platform/linux/x11/DockWindow.h"
#include "platform/linux/x11/PanelArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tidemark::linux_platform::live {
namespace {

std::vector<OutputGeometry> screenOutputs() {
    std::vector<OutputGeometry> outputs;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        outputs.push_back(
            {screen->name().toStdString(),
             Rect{double(g.x()), double(g.y()), double(g.width()), double(g.height())},
             screen == primary});
    }
    return outputs;
}

} // namespace

StripPlacement::StripPlacement(LinuxPlatform& platform, ui::StripWindow& strip)
    : platform_(platform), strip_(strip) {}

void StripPlacement::place() {
    const bool i3 = platform_.windowServer.mode() == X11WindowServer::Mode::I3;
    outputs_.clear();
    if (i3)
        if (auto answer = platform_.windowServer.i3Outputs())
            outputs_ = i3OutputGeometry(*answer);
    if (outputs_.empty())
        outputs_ = screenOutputs();
    const auto& root = platform_.x->screen();
    const Rect screen{0, 0, double(root.width_in_pixels), double(root.height_in_pixels)};
    dock_ = placeDock(outputs_, screen, strip_.buttonWidth(), ui::StripWindow::kBarHeight, i3);
    const auto& o = dock_.output;
    output_ = QRect(int(o.minX()), int(o.minY()), int(o.width()), int(o.height()));
    const auto& w = dock_.window;
    strip_.setWindowRect(
        QRect(int(w.minX()), int(w.minY()), int(std::ceil(w.width())), int(w.height())));
    const auto window = xcb_window_t(strip_.winId());
    if (!declared_) {
        declareDock(*platform_.x, window, dock_.strut);
        declared_ = true;
    } else {
        setDockStrut(*platform_.x, window, dock_.strut);
    }
}

QPoint StripPlacement::menuPosition(QPoint wanted, QSize size) const {
    const Point at = placeMenu(Rect{double(output_.x()), double(output_.y()),
                                    double(output_.width()), double(output_.height())},
                               Point{double(wanted.x()), double(wanted.y())},
                               Size{double(size.width()), double(size.height())});
    return QPoint(int(at.x), int(at.y));
}

Rect StripPlacement::panelArea(Rect panel) const {
    return linux_platform::panelArea(outputs_, dock_, panel);
}

} // namespace tidemark::linux_platform::live
