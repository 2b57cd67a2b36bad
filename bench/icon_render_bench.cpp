// The cost of a new strip image: createIcon plus painting it into pixels at 2×.
#include "foundation/SettingsStore.h"
#include "icon/ArtworkCatalog.h"
#include "icon/IconCreator.h"
#include "spaces/Space.h"
#include "ui/GuiApplication.h"
#include "ui/ImageRenderer.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace tidemark;

// A 32 × 32 icon with a diagonal gradient, like a small app icon.
ImageRef syntheticIcon(int seed) {
    Bitmap bitmap{32, 32, {}};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            bitmap.rgba.insert(bitmap.rgba.end(),
                               {static_cast<std::uint8_t>(seed * 37 + x * 4),
                                static_cast<std::uint8_t>(y * 8),
                                static_cast<std::uint8_t>(200 - seed * 11), 255});
    return Image::fromBitmap({32, 32}, std::move(bitmap), "app" + std::to_string(seed));
}

// Sixteen spaces on two displays, four apps on each.
std::vector<Space> sixteenSpaces() {
    std::vector<Space> spaces;
    for (int i = 0; i < 16; ++i) {
        Space space;
        space.displayID = i < 10 ? "Main" : "Side";
        space.spaceID = std::to_string(100 + i);
        space.spaceNumber = i + 1;
        space.isCurrentSpace = i == 0 || i == 10;
        space.isFullScreen = i == 7;
        for (int j = 0; j < 4; ++j)
            space.appIcons.push_back(syntheticIcon(i + j));
        spaces.push_back(std::move(space));
    }
    return spaces;
}

void renderStrip(benchmark::State& state, SkywardStyle style) {
    ui::ensureGuiApplication();
    SettingsStore settings;
    settings.set("displayStyle", rawValue(style));
    const ArtworkCatalog catalog;
    IconCreator creator(settings, catalog, [] { return Appearance::Dark; });
    const auto spaces = sixteenSpaces();
    const Color foreground = ui::stripForeground(Appearance::Dark);
    for (auto _ : state) {
        const auto layout = creator.createIcon(spaces);
        QImage pixels = ui::renderImage(*layout->image, 2.0, foreground);
        benchmark::DoNotOptimize(pixels.constBits());
    }
}

void BM_OpenedAppsStrip16x4At2x(benchmark::State& state) {
    renderStrip(state, SkywardStyle::openedApps);
}
void BM_NumberedRectanglesStrip16At2x(benchmark::State& state) {
    renderStrip(state, SkywardStyle::numbersAndRects);
}

void BM_CreateIconOnly16x4(benchmark::State& state) {
    SettingsStore settings;
    settings.set("displayStyle", rawValue(SkywardStyle::openedApps));
    const ArtworkCatalog catalog;
    IconCreator creator(settings, catalog, [] { return Appearance::Dark; });
    const auto spaces = sixteenSpaces();
    for (auto _ : state)
        benchmark::DoNotOptimize(creator.createIcon(spaces));
}

BENCHMARK(BM_OpenedAppsStrip16x4At2x)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_NumberedRectanglesStrip16At2x)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CreateIconOnly16x4)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace
