#include "icon/ArtworkCatalog.h"

#include "icon/Canvas.h"
#include "icon/Glyphs.h"

namespace tidemark {
namespace {

// Outer edges sit on whole points, so 1× and 2× pixels are either covered or not.
const Rect kSolidBody{1, 1, 16, 10};
constexpr double kSolidRadius = 2.5;
// A 1-point line centred half a point inside the solid body's edge covers the same pixels.
const Rect kOutlineBody{1.5, 1.5, 15, 9};
constexpr double kOutlineRadius = 2.0;

// The same brackets the drawn glyphs use for a space taken by one app in full screen.
constexpr double kBracketLineWidth = 1.5;
// Inside the outline a half-tone body: numbers cut out of it read at 3:1 or more against it
// on either bar, and it stays well apart from the solid current space.
constexpr double kOutlineBodyAlpha = 0.5;

void drawCurrent(Canvas& canvas, Rect) {
    canvas.fill(Path::roundedRect(kSolidBody, kSolidRadius, kSolidRadius), Color::black());
}

void drawOther(Canvas& canvas, Rect) {
    canvas.fill(Path::roundedRect(kSolidBody, kSolidRadius, kSolidRadius),
                Color::black().withAlpha(kOutlineBodyAlpha));
    canvas.stroke(Path::roundedRect(kOutlineBody, kOutlineRadius, kOutlineRadius), Color::black(),
                  {1.0, LineCap::Butt});
}

void drawCurrentFullScreen(Canvas& canvas, Rect bounds) {
    drawCurrent(canvas, bounds);
    canvas.setCompositingOperation(CompositingOperation::DestinationOut);
    strokeFullScreenCornerMarks(canvas, bounds, kBracketLineWidth, Color::black());
}

void drawOtherFullScreen(Canvas& canvas, Rect bounds) {
    drawOther(canvas, bounds);
    strokeFullScreenCornerMarks(canvas, bounds, kBracketLineWidth, Color::black());
}

// A night-blue tile with a strip of three desktops, the middle one current, over a tide line.
void drawAppIcon(Canvas& canvas, Rect) {
    canvas.fill(Path::roundedRect({2, 2, 60, 60}, 13, 13), Color{0.10, 0.22, 0.36, 1});
    canvas.stroke(Path::roundedRect({8.75, 27.75, 13.5, 10.5}, 2.5, 2.5), Color{1, 1, 1, 0.9},
                  {1.5, LineCap::Butt});
    canvas.fill(Path::roundedRect({25, 27, 15, 12}, 3, 3), Color{0.55, 0.88, 0.55, 1});
    canvas.stroke(Path::roundedRect({42.75, 27.75, 13.5, 10.5}, 2.5, 2.5), Color{1, 1, 1, 0.9},
                  {1.5, LineCap::Butt});
    Path mark;
    mark.addLine({9, 47}, {55, 47});
    canvas.stroke(mark, Color{1, 1, 1, 0.35}, {1.5, LineCap::Round});
    Path tide;
    tide.moveTo({9, 17});
    for (int i = 1; i <= 8; ++i)
        tide.lineTo({9 + 5.75 * i, i % 2 == 1 ? 13.0 : 17.0});
    canvas.stroke(tide, Color{0.45, 0.75, 0.95, 1}, {2.0, LineCap::Round});
}

} // namespace

ArtworkCatalog::ArtworkCatalog() {
    images_.emplace(kSkywardIconImage, Image::drawn(kGlyphSize, true, drawCurrent));
    images_.emplace(kSkywardIconBorderImage, Image::drawn(kGlyphSize, true, drawOther));
    images_.emplace(kSkywardIconFullEnImage, Image::drawn(kGlyphSize, true, drawCurrentFullScreen));
    images_.emplace(kSkywardIconFullDisImage, Image::drawn(kGlyphSize, true, drawOtherFullScreen));
    images_.emplace(kAppIconImage, Image::drawn({64, 64}, false, drawAppIcon));
}

ImageRef ArtworkCatalog::image(std::string_view name) const {
    const auto it = images_.find(name);
    return it == images_.end() ? nullptr : it->second;
}

} // namespace tidemark
