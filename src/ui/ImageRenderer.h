#pragma once

#include "foundation/Color.h"
#include "foundation/Image.h"
#include "spaces/Workspace.h"

#include <QImage>

namespace tidemark::ui {

// The colour the strip gives template images: dark on a light bar, light on a dark bar.
Color stripForeground(Appearance appearance);

// Draws `image` into a transparent premultiplied ARGB image of ceil(size × scale) pixels,
// `scale` pixels per point. A template image comes out tinted with `templateForeground`.
QImage renderImage(const Image& image, double scale, Color templateForeground);
// The same with separate horizontal and vertical scales (for drawing into a rectangle).
QImage renderImage(const Image& image, double scaleX, double scaleY, Color templateForeground);

// Keeps each pixel's alpha and gives it the colour `foreground` (whose alpha multiplies).
void tintTemplate(QImage& pixels, Color foreground);

} // namespace tidemark::ui
