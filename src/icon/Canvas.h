#pragma once

#include "foundation/Color.h"
#include "foundation/Geometry.h"
#include "foundation/Image.h"

#include <string_view>
#include <variant>
#include <vector>

namespace tidemark {

// A path made of separate pieces: open polylines and closed rounded rectangles.
class Path {
public:
    struct MoveTo {
        Point point;
        friend bool operator==(const MoveTo&, const MoveTo&) = default;
    };
    struct LineTo {
        Point point;
        friend bool operator==(const LineTo&, const LineTo&) = default;
    };
    struct RoundedRect {
        Rect rect;
        double radiusX = 0;
        double radiusY = 0;
        friend bool operator==(const RoundedRect&, const RoundedRect&) = default;
    };
    using Element = std::variant<MoveTo, LineTo, RoundedRect>;

    static Path roundedRect(Rect rect, double radiusX, double radiusY) {
        Path path;
        path.addRoundedRect(rect, radiusX, radiusY);
        return path;
    }

    void moveTo(Point p) { elements_.emplace_back(MoveTo{p}); }
    void lineTo(Point p) { elements_.emplace_back(LineTo{p}); }
    void addLine(Point from, Point to) {
        moveTo(from);
        lineTo(to);
    }
    void addRoundedRect(Rect rect, double radiusX, double radiusY) {
        elements_.emplace_back(RoundedRect{rect, radiusX, radiusY});
    }

    const std::vector<Element>& elements() const { return elements_; }
    bool empty() const { return elements_.empty(); }

private:
    std::vector<Element> elements_;
};

enum class LineCap { Butt, Round };

struct StrokeStyle {
    double lineWidth = 1.0;
    LineCap cap = LineCap::Butt;
    friend bool operator==(const StrokeStyle&, const StrokeStyle&) = default;
};

// How what is drawn next combines with what is already there.
enum class CompositingOperation {
    SourceOver,     // paint over
    DestinationOut, // erase where the new drawing covers
};

enum class FontWeight { Regular, Bold };

// A system font, described rather than loaded: the renderer picks the face.
struct Font {
    double pointSize = 12;
    FontWeight weight = FontWeight::Regular;
    // Digits of equal advance, so numbers do not jitter as they change.
    bool monospacedDigits = false;
    friend bool operator==(const Font&, const Font&) = default;
};

enum class TextAlignment { Left, Center };

struct TextAttributes {
    Color foreground = Color::black();
    Font font;
    TextAlignment alignment = TextAlignment::Left;
    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

// Where an image draws itself. Coordinates are points with the origin at the lower left.
// Every canvas starts with source-over compositing.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void fill(const Path& path, Color color) = 0;
    virtual void stroke(const Path& path, Color color, StrokeStyle style) = 0;
    // Scales the whole image into `rect`. A drawn image paints on a layer of its own, so
    // its compositing operations act only on itself; the layer is then combined with
    // `operation` at `opacity`.
    virtual void drawImage(const Image& image, Rect rect, CompositingOperation operation,
                           double opacity) = 0;
    // Lays the text out from the top of `rect`, aligned as the attributes say.
    virtual void drawText(std::string_view text, Rect rect, const TextAttributes& attributes) = 0;
    // Advance width and line height of the text on one line.
    virtual Size measureText(std::string_view text, const TextAttributes& attributes) = 0;
    virtual void setCompositingOperation(CompositingOperation operation) = 0;
    // Saves and restores the compositing operation.
    virtual void save() = 0;
    virtual void restore() = 0;
};

} // namespace tidemark
