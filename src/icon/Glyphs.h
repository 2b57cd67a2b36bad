#pragma once

#include "foundation/Image.h"
#include "icon/Canvas.h"
#include "icon/SkywardStyle.h"

#include <string>

namespace tidemark {

struct Space;
class ImageCatalog;

inline constexpr Size kGlyphSize{18, 12};

// The four named glyph images.
struct GlyphArtwork {
    ImageRef current;
    ImageRef other;
    ImageRef currentFullScreen;
    ImageRef otherFullScreen;

    static GlyphArtwork from(const ImageCatalog& catalog);
};

// What the rectangle glyph depends on besides the space.
struct RectangleGlyphOptions {
    SkywardStyle style = SkywardStyle::none;
    bool highContrastBorders = false;
    bool hasCustomActiveColor = false;
    Color activeColor;
};

// The glyph of one space in the rectangles style, also the base of the numbered rectangle.
ImageRef rectangleGlyph(const Space& space, const RectangleGlyphOptions& options,
                        const GlyphArtwork& artwork);

// The number of a space alone. `attributes` carry the opacity that tells current from not.
ImageRef numberGlyph(std::string number, bool isFullScreen, const TextAttributes& attributes,
                     Color cornerMarkColor);

// The number cut out of a rectangle glyph. It is a template image unless its base is not
// one (a current space in a custom colour), so the custom colour survives tinting.
ImageRef numberedRectangleGlyph(ImageRef base, std::string number, bool isFullScreen,
                                const TextAttributes& attributes, Color cornerMarkColor);

// The mark of a space where a window asks for attention, a rounded shape in a signal colour;
// what lies under `cutOut` is cleared first, so it reads over a filled glyph, an outline or an
// app icon alike.
struct UrgentMark {
    Rect shape;
    Rect cutOut;
    friend bool operator==(const UrgentMark&, const UrgentMark&) = default;
};
// A dot of `diameter` in the top-right corner of a glyph or slot, with a ring of `clearance`.
UrgentMark urgentDot(Rect rect, double diameter, double clearance);
// A bar under the number of a numbers glyph, which has no body to hold a dot and whose two
// digits fill its width.
UrgentMark urgentBar(Rect glyph, double width, double thickness);
void drawUrgentMark(Canvas& canvas, const UrgentMark& mark, Color color);

// Two open brackets, top-left and bottom-right, inside `rect`: four separate segments.
Path fullScreenCornerMarks(Rect rect, double lineWidth);
void strokeFullScreenCornerMarks(Canvas& canvas, Rect rect, double lineWidth, Color color);

} // namespace tidemark
