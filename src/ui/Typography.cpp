#include "ui/Typography.h"

#include <QApplication>
#include <QFrame>

namespace tidemark::ui {

QFont styledFont(TextStyle style, QFont::Weight weight) {
    QFont result = QApplication::font();
    int pixels = 13;
    QFont::Weight styleWeight = QFont::Normal;
    switch (style) {
    case TextStyle::Title:
        pixels = 28;
        break;
    case TextStyle::Title2:
        pixels = 17;
        break;
    case TextStyle::Headline:
        pixels = 13;
        styleWeight = QFont::DemiBold;
        break;
    case TextStyle::Body:
        pixels = 13;
        break;
    case TextStyle::Subheadline:
        pixels = 11;
        break;
    case TextStyle::Caption:
        pixels = 10;
        break;
    }
    result.setPixelSize(pixels);
    result.setWeight(weight == QFont::Normal ? styleWeight : weight);
    return result;
}

QColor secondaryTextColor(const QWidget& widget) {
    QColor color = widget.palette().color(QPalette::WindowText);
    color.setAlphaF(0.55);
    return color;
}

QWidget* makeDivider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    QPalette palette = line->palette();
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.15);
    palette.setColor(QPalette::WindowText, color);
    line->setPalette(palette);
    return line;
}

} // namespace tidemark::ui
