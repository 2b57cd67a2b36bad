#include "platform/linux/x11/PanelArea.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

TEST(PanelArea, TheOutputUnderTheGlyphBelowTheDockBand) {
    const OutputGeometry left{"fake-0", {0, 0, 1024, 768}, false};
    const OutputGeometry right{"fake-1", {1024, 0, 1024, 768}, false};
    // i3: the dock spans the first output; elsewhere a strip at the right end of the screen.
    const DockPlacement i3Dock{left.rect, {0, 0, 1024, 24}, std::nullopt};
    const DockPlacement ewmhDock{{0, 0, 2048, 768}, {1900, 0, 148, 24}, TopStrut{24, 1900, 2047}};
    struct Case {
        const char* name;
        std::vector<OutputGeometry> outputs;
        DockPlacement dock;
        Rect panel;
        Rect expected;
    };
    const std::vector<Case> cases{
        // Centred under a glyph near the output's right edge, the panel spills over the
        // edge; the glyph's output still holds it.
        {"glyph at the edge", {left, right}, i3Dock, {854, 30, 292, 200}, {0, 24, 1024, 744}},
        {"on the other output", {left, right}, i3Dock, {1100, 30, 292, 200}, {1024, 0, 1024, 768}},
        {"no output holds it", {left, right}, i3Dock, {3000, 30, 292, 200}, {0, 24, 1024, 744}},
        {"no outputs known", {}, ewmhDock, {1800, 30, 292, 200}, {0, 24, 2048, 744}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(panelArea(c.outputs, c.dock, c.panel), c.expected) << c.name;
}

} // namespace
} // namespace tidemark::linux_platform
