#pragma once

#include "foundation/Geometry.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tidemark::linux_platform {

// One output's place on the X screen, in pixels.
struct OutputGeometry {
    std::string name;
    Rect rect;
    bool primary = false;
};

// The active outputs of i3's `get_outputs` answer, in its order; malformed entries skipped.
std::vector<OutputGeometry> i3OutputGeometry(const nlohmann::json& outputs);

// Space kept free along the top of the screen (`_NET_WM_STRUT_PARTIAL`'s top fields).
struct TopStrut {
    long height = 0; // from the top of the X screen
    long startX = 0;
    long endX = 0; // inclusive
    friend bool operator==(const TopStrut&, const TopStrut&) = default;
};

struct DockPlacement {
    Rect output; // the output it is on
    Rect window;
    std::optional<TopStrut> strut;
};

// Where the strip's window goes: on the primary output (else the first), at its top. Under
// i3 the dock spans the output (i3 stretches docks anyway) and needs no strut; elsewhere it
// is as wide as the strip, at the right end, and keeps its band free with a strut.
DockPlacement placeDock(const std::vector<OutputGeometry>& outputs, Rect screen, double width,
                        double height, bool spansOutput);

// Where a menu of `size` wanted at `origin` opens so that it stays on `output`: moved left
// and up as far as needed, never past the output's left or top edge. Qt sees one screen
// under i3's fake outputs and would let it spill onto the next output.
Point placeMenu(Rect output, Point origin, Size size);

} // namespace tidemark::linux_platform
