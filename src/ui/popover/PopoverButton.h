#pragma once

#include "ui/popover/PopoverSymbols.h"

#include <QAbstractButton>
#include <QMarginsF>
#include <QVariantAnimation>
#include <functional>
#include <optional>

namespace tidemark::ui {

// How a popover button looks: an optional symbol (or a spinner in its place) and a text on a
// shape. Colours are asked for at paint time with the hover blend (0 resting, 1 hovered), so
// that they follow the appearance.
struct ButtonLook {
    enum class Shape { RoundedRect, Capsule, Circle };
    using Paint = std::function<QColor(const QWidget&, qreal hover)>;

    std::optional<Symbol> symbol;
    int symbolSize = 10;
    bool symbolBold = false;
    bool spinner = false;
    QString text; // becomes the button's text
    int textSize = 11;
    QFont::Weight weight = QFont::Medium;
    qreal spacing = 5;
    QMarginsF padding{10, 4, 10, 4};
    Shape shape = Shape::RoundedRect;
    qreal cornerRadius = 5;
    // A fixed frame (the close controls); otherwise the content's size.
    std::optional<QSizeF> frame;
    Paint foreground;
    Paint background;
    // The hover blend animates over this long; 0 switches at once.
    int hoverMilliseconds = 0;
};

// The standard small button: secondary text at 11 medium on a faint rounded rectangle.
ButtonLook pillLook(const QString& text);

// A plain-style button drawn from its look. It fires on release (a click); it keeps no state
// but whether the pointer is over it.
class PopoverButton final : public QAbstractButton {
    Q_OBJECT
public:
    PopoverButton(ButtonLook look, QWidget* parent);

    bool isHovered() const { return hovered_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void setHovered(bool hovered);
    QSizeF contentSize() const;

    ButtonLook look_;
    bool hovered_ = false;
    qreal hoverBlend_ = 0;
    QVariantAnimation hoverAnimation_;
    int spinnerTimer_ = 0;
    int spinnerPhase_ = 0;
};

// The mini progress spinner, scaled by 0.7 about its centre, at its top-left `origin`.
void paintSpinner(QPainter& painter, QPointF origin, const QColor& color, int phase);
inline constexpr qreal kSpinnerSize = 16 * 0.7;

} // namespace tidemark::ui
