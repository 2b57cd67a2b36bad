#pragma once

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/x11/DockPlacement.h"
#include "ui/StripWindow.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace tidemark::linux_platform::live {

// Where the strip sits on this desktop: on the primary output of i3's outputs, else of Qt's
// screens (Qt sees one screen under i3's fake outputs), as a dock whose X properties are on
// the server before the window is first mapped. The menu and the hover panel stay on the
// strip's output.
class StripPlacement {
public:
    StripPlacement(LinuxPlatform& platform, ui::StripWindow& strip);

    // Places the strip again. The first call makes its native window, which must not be
    // mapped yet, a dock; later ones move the band it keeps free.
    void place();
    bool placed() const { return declared_; }

    QRect output() const { return output_; }
    // Where a menu of `size` wanted at `wanted` opens.
    QPoint menuPosition(QPoint wanted, QSize size) const;
    // The screen port's visible frame for a panel proposed at `panel`.
    Rect panelArea(Rect panel) const;

private:
    LinuxPlatform& platform_;
    ui::StripWindow& strip_;
    bool declared_ = false;
    QRect output_{0, 0, 1024, 768};
    std::vector<OutputGeometry> outputs_;
    DockPlacement dock_;
};

} // namespace tidemark::linux_platform::live
