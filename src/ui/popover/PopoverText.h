#pragma once

#include <QWidget>
#include <functional>

namespace tidemark::ui {

// One line of text in a font and a colour asked for at paint time; elided at the tail when
// it has less room than it needs.
class PopoverText final : public QWidget {
    Q_OBJECT
public:
    using Paint = std::function<QColor(const QWidget&)>;

    PopoverText(QString text, QFont font, Paint color, QWidget* parent);

    const QString& text() const { return text_; }
    const QFont& textFont() const { return font_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QFont font_;
    Paint color_;
};

// A fixed-size picture: a dot, an icon, a symbol.
class PopoverPicture final : public QWidget {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&, const QWidget&)>;

    PopoverPicture(QSize size, Painter paint, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter paint_;
};

} // namespace tidemark::ui
