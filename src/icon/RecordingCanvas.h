#pragma once

#include "icon/Canvas.h"

#include <string>
#include <vector>

namespace tidemark {

// One call made on a recording canvas, with the compositing operation then in force.
struct DrawCall {
    enum class Kind { Fill, Stroke, DrawImage, DrawText, SetCompositing, Save, Restore };

    Kind kind = Kind::Fill;
    CompositingOperation compositing = CompositingOperation::SourceOver;
    Path path;                    // Fill, Stroke
    Color color;                  // Fill, Stroke
    StrokeStyle strokeStyle;      // Stroke
    const Image* image = nullptr; // DrawImage; valid while the drawn image lives
    Rect rect;                    // DrawImage, DrawText
    CompositingOperation operation = CompositingOperation::SourceOver; // DrawImage, SetCompositing
    double opacity = 1.0;                                              // DrawImage
    std::string text;                                                  // DrawText
    TextAttributes attributes;                                         // DrawText
};

// A canvas that keeps every call, for checking geometry without pixels. Text metrics are
// fixed so that layouts are predictable: each character advances 0.6 × the font size and a
// line is 1.2 × the font size high.
class RecordingCanvas final : public Canvas {
public:
    static constexpr double kAdvancePerPoint = 0.6;
    static constexpr double kLineHeightPerPoint = 1.2;

    // Runs the drawing of `image` (nothing for a bitmap) and returns what it did.
    static std::vector<DrawCall> record(const Image& image);

    void fill(const Path& path, Color color) override;
    void stroke(const Path& path, Color color, StrokeStyle style) override;
    void drawImage(const Image& image, Rect rect, CompositingOperation operation,
                   double opacity) override;
    void drawText(std::string_view text, Rect rect, const TextAttributes& attributes) override;
    Size measureText(std::string_view text, const TextAttributes& attributes) override;
    void setCompositingOperation(CompositingOperation operation) override;
    void save() override;
    void restore() override;

    const std::vector<DrawCall>& calls() const { return calls_; }

private:
    DrawCall& append(DrawCall::Kind kind);

    std::vector<DrawCall> calls_;
    CompositingOperation compositing_ = CompositingOperation::SourceOver;
    std::vector<CompositingOperation> saved_;
};

// The calls of one kind, in order.
std::vector<DrawCall> callsOfKind(const std::vector<DrawCall>& calls, DrawCall::Kind kind);

} // namespace tidemark
