#pragma once

#include <QColor>
#include <QPixmap>

namespace tidemark::ui {

// The symbols of the popover. Each comes from the icon theme when it has a symbolic icon of
// that meaning, tinted; otherwise it is drawn.
enum class Symbol {
    Window,        // an app window: the empty space placeholder
    OtherDesktops, // three grouped rectangles
    MemoryChip,
    WandAndStars, // the cleaner
    CheckmarkCircleFill,
    CheckmarkCircle,
    Trash,
    MoonZzz, // sleep
    XMark,   // close
};

// The symbol at `size` points (its square frame), in `color`, at `scale` pixels per point.
QPixmap symbolPixmap(Symbol symbol, int size, const QColor& color, qreal scale, bool bold = false);

// The same, always drawn (what shows where the theme has no icon).
QPixmap drawnSymbol(Symbol symbol, int size, const QColor& color, qreal scale, bool bold = false);

} // namespace tidemark::ui
