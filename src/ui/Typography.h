#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

namespace tidemark::ui {

// The text styles the views use, sized in points of the layout (one point a logical
// pixel), so that a view measures the same on every screen.
enum class TextStyle { Title, Title2, Headline, Body, Subheadline, Caption };

QFont styledFont(TextStyle style, QFont::Weight weight = QFont::Normal);

// The dimmer text colour of secondary lines, from the widget's palette.
QColor secondaryTextColor(const QWidget& widget);

// A thin horizontal line between sections.
QWidget* makeDivider(QWidget* parent);

} // namespace tidemark::ui
