#include "icon/RecordingCanvas.h"

#include <algorithm>

namespace tidemark {

std::vector<DrawCall> RecordingCanvas::record(const Image& image) {
    RecordingCanvas canvas;
    if (const auto* drawing = image.drawing())
        (*drawing)(canvas, Rect{{0, 0}, image.size()});
    return canvas.calls_;
}

DrawCall& RecordingCanvas::append(DrawCall::Kind kind) {
    DrawCall& call = calls_.emplace_back();
    call.kind = kind;
    call.compositing = compositing_;
    return call;
}

void RecordingCanvas::fill(const Path& path, Color color) {
    auto& call = append(DrawCall::Kind::Fill);
    call.path = path;
    call.color = color;
}

void RecordingCanvas::stroke(const Path& path, Color color, StrokeStyle style) {
    auto& call = append(DrawCall::Kind::Stroke);
    call.path = path;
    call.color = color;
    call.strokeStyle = style;
}

void RecordingCanvas::drawImage(const Image& image, Rect rect, CompositingOperation operation,
                                double opacity) {
    auto& call = append(DrawCall::Kind::DrawImage);
    call.image = &image;
    call.rect = rect;
    call.operation = operation;
    call.opacity = opacity;
}

void RecordingCanvas::drawText(std::string_view text, Rect rect, const TextAttributes& attributes) {
    auto& call = append(DrawCall::Kind::DrawText);
    call.text = std::string(text);
    call.rect = rect;
    call.attributes = attributes;
}

Size RecordingCanvas::measureText(std::string_view text, const TextAttributes& attributes) {
    const double size = attributes.font.pointSize;
    return {kAdvancePerPoint * size * static_cast<double>(text.size()), kLineHeightPerPoint * size};
}

void RecordingCanvas::setCompositingOperation(CompositingOperation operation) {
    append(DrawCall::Kind::SetCompositing).operation = operation;
    compositing_ = operation;
}

void RecordingCanvas::save() {
    append(DrawCall::Kind::Save);
    saved_.push_back(compositing_);
}

void RecordingCanvas::restore() {
    append(DrawCall::Kind::Restore);
    if (!saved_.empty()) {
        compositing_ = saved_.back();
        saved_.pop_back();
    }
}

std::vector<DrawCall> callsOfKind(const std::vector<DrawCall>& calls, DrawCall::Kind kind) {
    std::vector<DrawCall> result;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(result),
                 [kind](const DrawCall& call) { return call.kind == kind; });
    return result;
}

} // namespace tidemark
