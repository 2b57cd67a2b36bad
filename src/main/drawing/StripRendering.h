#pragma once

#include "foundation/Image.h"
#include "icon/IconLayout.h"
#include "main/Commands.h"
#include "platform/scenario/Scenario.h"
#include "platform/sim/SimPlatform.h"
#include "spaces/Workspace.h"

#include <QImage>
#include <memory>
#include <nlohmann/json.hpp>

namespace tidemark::cli {

// The strip image of a scenario's first snapshot and its layout. It keeps the simulated
// desktop alive, as the app does, because the image is drawn lazily.
struct RenderedStrip {
    std::shared_ptr<sim::SimPlatform> platform;
    IconLayoutRef layout;
    Appearance appearance = Appearance::Light;
};

// Launches the scenario as the app does and builds the image of the first snapshot (an
// empty one when nothing was published).
RenderedStrip renderFirstSnapshot(sim::Scenario scenario);

// Pixels as the strip shows them: templates tinted for the scenario's appearance.
QImage stripPixels(const RenderedStrip& strip, double scale);

// {"width", "height", "template", "displayCount", "rects": {id: [x, y, w, h]}} in points.
nlohmann::ordered_json layoutReport(const RenderedStrip& strip);

// --scale of the image commands: pixels per point, default 1; nullopt after reporting a bad
// value. Bounded so that a typo cannot ask for gigabytes of pixels.
inline constexpr double kMaxScale = 16;
std::optional<double> parseScale(const Invocation& call, std::string_view command);

// Writes a PNG (a clear pixel for an empty image) through a temporary file, so a failure
// leaves an existing file as it was; false after reporting the failure and its cause.
bool writePng(const QImage& pixels, const std::string& file, std::string_view command);

} // namespace tidemark::cli
