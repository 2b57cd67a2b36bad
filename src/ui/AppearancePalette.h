#pragma once

#include "spaces/Workspace.h"

#include <QImage>
#include <QPalette>

namespace tidemark::ui {

// The application's palette for an appearance, on the Fusion style, so that every window
// of the app follows the desktop's light or dark scheme.
QPalette paletteFor(Appearance appearance);
void applyAppearance(Appearance appearance);

// The colour of the bar the strip sits on.
QColor barBackground(Appearance appearance);
// `strip` laid over the bar colour, with `padding` pixels around it.
QImage onBar(const QImage& strip, Appearance appearance, int padding);

} // namespace tidemark::ui
