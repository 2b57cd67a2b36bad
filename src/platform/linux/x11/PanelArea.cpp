#include "platform/linux/x11/PanelArea.h"

#include <algorithm>

namespace tidemark::linux_platform {

Rect panelArea(const std::vector<OutputGeometry>& outputs, const DockPlacement& dock, Rect panel) {
    const Point anchor{panel.midX(), panel.minY()};
    const auto holder = std::find_if(outputs.begin(), outputs.end(), [&](const OutputGeometry& o) {
        return o.rect.contains(anchor);
    });
    Rect area = holder != outputs.end() ? holder->rect : dock.output;
    const Rect& band = dock.window;
    const bool bandOnTop = band.minY() <= area.minY() && band.maxY() > area.minY() &&
                           band.minX() < area.maxX() && band.maxX() > area.minX();
    if (bandOnTop) {
        const double top = std::min(band.maxY(), area.maxY());
        area = Rect{area.minX(), top, area.width(), area.maxY() - top};
    }
    return area;
}

} // namespace tidemark::linux_platform
