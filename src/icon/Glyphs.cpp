#include "icon/Glyphs.h"

#include "icon/ImageCatalog.h"
#include "spaces/Space.h"

#include <algorithm>

namespace tidemark {
namespace {

constexpr double kGlyphInset = 0.75;
constexpr double kGlyphRadius = 2.0;
constexpr double kHighContrastLineWidth = 1.5;
constexpr double kCornerMarkLineWidth = 1.5;

Rect glyphBounds() {
    return {{0, 0}, kGlyphSize};
}

Path insetGlyphBody() {
    return Path::roundedRect(glyphBounds().insetBy(kGlyphInset, kGlyphInset), kGlyphRadius,
                             kGlyphRadius);
}

// Text vertically centred on the glyph, horizontally as the attributes align it.
void drawCentredText(Canvas& canvas, const std::string& text, const TextAttributes& attributes) {
    const double height = canvas.measureText(text, attributes).height;
    canvas.drawText(text, {0, (kGlyphSize.height - height) / 2, kGlyphSize.width, height},
                    attributes);
}

} // namespace

GlyphArtwork GlyphArtwork::from(const ImageCatalog& catalog) {
    return {catalog.image(kSkywardIconImage), catalog.image(kSkywardIconBorderImage),
            catalog.image(kSkywardIconFullEnImage), catalog.image(kSkywardIconFullDisImage)};
}

ImageRef rectangleGlyph(const Space& space, const RectangleGlyphOptions& options,
                        const GlyphArtwork& artwork) {
    if (space.isCurrentSpace) {
        if (space.isFullScreen)
            return artwork.currentFullScreen;
        if (options.hasCustomActiveColor && options.style != SkywardStyle::numbers) {
            return Image::drawn(kGlyphSize, false,
                                [color = options.activeColor](Canvas& canvas, Rect) {
                                    canvas.fill(insetGlyphBody(), color);
                                });
        }
        return artwork.current;
    }
    if (!options.highContrastBorders)
        return space.isFullScreen ? artwork.otherFullScreen : artwork.other;
    ImageRef underlay = space.isFullScreen ? artwork.otherFullScreen : nullptr;
    return Image::drawn(kGlyphSize, true, [underlay](Canvas& canvas, Rect) {
        if (underlay)
            canvas.drawImage(*underlay, glyphBounds(), CompositingOperation::SourceOver, 1.0);
        canvas.stroke(insetGlyphBody(), Color::black(), {kHighContrastLineWidth, LineCap::Butt});
    });
}

ImageRef numberGlyph(std::string number, bool isFullScreen, const TextAttributes& attributes,
                     Color cornerMarkColor) {
    // A template: it follows the bar's foreground also in a strip that holds colour.
    return Image::drawn(kGlyphSize, true,
                        [number = std::move(number), isFullScreen, attributes,
                         cornerMarkColor](Canvas& canvas, Rect) {
                            drawCentredText(canvas, number, attributes);
                            if (isFullScreen)
                                strokeFullScreenCornerMarks(canvas, glyphBounds(),
                                                            kCornerMarkLineWidth, cornerMarkColor);
                        });
}

ImageRef numberedRectangleGlyph(ImageRef base, std::string number, bool isFullScreen,
                                const TextAttributes& attributes, Color cornerMarkColor) {
    const bool isTemplate = base ? base->isTemplate() : true;
    return Image::drawn(kGlyphSize, isTemplate,
                        [base = std::move(base), number = std::move(number), isFullScreen,
                         attributes, cornerMarkColor](Canvas& canvas, Rect) {
                            if (base)
                                canvas.drawImage(*base, glyphBounds(),
                                                 CompositingOperation::SourceOver, 1.0);
                            canvas.setCompositingOperation(CompositingOperation::DestinationOut);
                            drawCentredText(canvas, number, attributes);
                            if (isFullScreen)
                                strokeFullScreenCornerMarks(canvas, glyphBounds(),
                                                            kCornerMarkLineWidth, cornerMarkColor);
                        });
}

UrgentMark urgentDot(Rect rect, double diameter, double clearance) {
    const Rect dot{rect.maxX() - clearance - diameter, rect.maxY() - clearance - diameter, diameter,
                   diameter};
    return {dot, dot.insetBy(-clearance, -clearance)};
}

UrgentMark urgentBar(Rect glyph, double width, double thickness) {
    // Below the digits' baseline, clear of the full-screen brackets' lower arm.
    const Rect bar{glyph.midX() - width / 2, glyph.minY() + thickness / 4, width, thickness};
    return {bar, bar};
}

void drawUrgentMark(Canvas& canvas, const UrgentMark& mark, Color color) {
    const auto pill = [](Rect rect) {
        const double radius = std::min(rect.width(), rect.height()) / 2;
        return Path::roundedRect(rect, radius, radius);
    };
    canvas.save();
    canvas.setCompositingOperation(CompositingOperation::DestinationOut);
    canvas.fill(pill(mark.cutOut), Color::black());
    canvas.setCompositingOperation(CompositingOperation::SourceOver);
    canvas.fill(pill(mark.shape), color);
    canvas.restore();
}

Path fullScreenCornerMarks(Rect rect, double lineWidth) {
    const double d = std::max(lineWidth + 1, 2.0);
    const double e = 0.22 * std::min(rect.width(), rect.height());
    const double top = rect.maxY() - d;
    const double left = rect.minX() + d;
    const double right = rect.maxX() - d;
    const double bottom = rect.minY() + d;
    Path path;
    path.addLine({left, top - 1}, {left + e, top - 1});
    path.addLine({left + 1, top}, {left + 1, top - e});
    path.addLine({right - e, bottom + 1}, {right, bottom + 1});
    path.addLine({right - 1, bottom}, {right - 1, bottom + e});
    return path;
}

void strokeFullScreenCornerMarks(Canvas& canvas, Rect rect, double lineWidth, Color color) {
    canvas.stroke(fullScreenCornerMarks(rect, lineWidth), color, {lineWidth, LineCap::Round});
}

} // namespace tidemark
