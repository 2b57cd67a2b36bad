#pragma once

#include <QColor>
#include <QEasingCurve>
#include <QFont>
#include <QPainter>
#include <QWidget>

namespace tidemark::ui {

// The system's named colours, each in its light and dark variant.
enum class NamedColor { Green, Gray, Orange, Red, Yellow, Indigo, White };

// Whether the widget is drawn in the dark appearance, from its palette.
bool isDarkPalette(const QWidget& widget);

QColor namedColor(NamedColor name, const QWidget& widget, qreal opacity = 1);
// The text colour and its dimmer secondary variant, times `opacity`.
QColor primaryColor(const QWidget& widget, qreal opacity = 1);
QColor secondaryColor(const QWidget& widget, qreal opacity = 1);
// `from` blended towards `to` by `t` (0 to 1), alpha included.
QColor blend(const QColor& from, const QColor& to, qreal t);

// The system font at `size` points of the layout; `monospaced` takes the fixed-pitch family.
QFont popoverFont(int size, QFont::Weight weight = QFont::Normal, bool monospaced = false);

// Loads the popover's fonts and draws a line in each once, so that the first panel does not
// wait for the font system (the cost moves to the view's construction).
void warmUpFonts(qreal scale);

// Pixels per point of what the painter draws on in the end: a screen, or the picture that a
// widget renders itself into (where the widget's own ratio would say 1).
qreal pixelRatio(const QPainter& painter);

// The toolkit's standard ease-in-out timing curve.
QEasingCurve easeInOut();

} // namespace tidemark::ui
