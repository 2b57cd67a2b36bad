#include "ui/AppearancePalette.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

namespace tidemark::ui {

QPalette paletteFor(Appearance appearance) {
    if (appearance == Appearance::Light) {
        static const std::unique_ptr<QStyle> fusion(
            QStyleFactory::create(QStringLiteral("Fusion")));
        return fusion ? fusion->standardPalette() : QPalette();
    }
    QPalette dark;
    const QColor window(0x2b, 0x2b, 0x2d);
    const QColor base(0x1e, 0x1e, 0x20);
    const QColor text(0xec, 0xec, 0xee);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3d));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::BrightText, Qt::white);
    dark.setColor(QPalette::Link, QColor(0x5a, 0xa9, 0xff));
    dark.setColor(QPalette::Highlight, QColor(0x2f, 0x6f, 0xd0));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Mid, QColor(0x55, 0x55, 0x58));
    dark.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return dark;
}

void applyAppearance(Appearance appearance) {
    static bool styled = false;
    if (!styled) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        styled = true;
    }
    QApplication::setPalette(paletteFor(appearance));
}

QColor barBackground(Appearance appearance) {
    return appearance == Appearance::Dark ? QColor(0x24, 0x24, 0x26) : QColor(0xee, 0xee, 0xf0);
}

QImage onBar(const QImage& strip, Appearance appearance, int padding) {
    QImage bar(strip.width() + 2 * padding, strip.height() + 2 * padding,
               QImage::Format_ARGB32_Premultiplied);
    bar.fill(barBackground(appearance));
    QPainter painter(&bar);
    painter.drawImage(padding, padding, strip);
    return bar;
}

} // namespace tidemark::ui
