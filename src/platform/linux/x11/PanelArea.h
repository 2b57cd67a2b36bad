#pragma once

#include "platform/linux/x11/DockPlacement.h"

#include <vector>

namespace tidemark::linux_platform {

// Where the hover panel may go: the output under the top centre of `panel` (the panel hangs
// centred under its glyph, so that is the glyph's output) below the dock's band when the dock
// is on that output; the dock's output when no output holds the point. Qt sees one large
// screen under i3's fake outputs, so the outputs come from whoever knows them.
Rect panelArea(const std::vector<OutputGeometry>& outputs, const DockPlacement& dock, Rect panel);

} // namespace tidemark::linux_platform
