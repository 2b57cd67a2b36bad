#pragma once

#include "foundation/Geometry.h"
#include "foundation/Image.h"
#include "spaces/Workspace.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <optional>

namespace tidemark::ui {

// The bar's height in points, and the space left and right of the image in its button.
inline constexpr int kStripBarHeight = 24;
inline constexpr int kStripButtonMargin = 6;

// How wide the button is for `image` (none: only the margins).
int stripButtonWidth(const Image* image);

// One look of the strip, whatever surface it is painted on (a Qt window on X11, a
// shared-memory buffer on Wayland).
struct StripLook {
    const Image* image = nullptr;
    Appearance appearance = Appearance::Light;
    // Over the button while it is pressed.
    std::optional<QColor> highlight;
    // The glyph a dragged row would be dropped on (button coordinates, y down), marked in
    // `dropColor` behind the image.
    std::optional<Rect> dropTarget;
    QColor dropColor;
};

// Paints the bar's colour over `area` and the image centred in `button` (both in points) on
// whole device pixels of `scale`, so nothing is resampled. `cache` keeps the image rendered
// at that scale between paints: the caller empties it when the image or appearance changes.
void paintStrip(QPainter& painter, QRect area, QRect button, qreal scale, const StripLook& look,
                QImage& cache);

} // namespace tidemark::ui
