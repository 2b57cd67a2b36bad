#pragma once

#include "icon/Canvas.h"

class QPainter;

namespace tidemark::ui {

// A canvas over a QPainter whose transform already maps points, origin at the lower left
// and y upwards, to device pixels. Template images drawn on it are tinted with
// `templateForeground`, wherever they are drawn, as the strip tints its template images.
class QtCanvas final : public Canvas {
public:
    QtCanvas(QPainter& painter, Color templateForeground);

    void fill(const Path& path, Color color) override;
    void stroke(const Path& path, Color color, StrokeStyle style) override;
    void drawImage(const Image& image, Rect rect, CompositingOperation operation,
                   double opacity) override;
    void drawText(std::string_view text, Rect rect, const TextAttributes& attributes) override;
    Size measureText(std::string_view text, const TextAttributes& attributes) override;
    void setCompositingOperation(CompositingOperation operation) override;
    void save() override;
    void restore() override;

private:
    QPainter& painter_;
    Color templateForeground_;
};

} // namespace tidemark::ui
