#pragma once

#include <QPixmap>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

namespace tidemark::ui {

// A row entering or leaving: its picture drawn over the popover with an opacity and a scale
// of 0.95 about its centre, eased in and out, then gone. An entering row stays invisible
// (in its place in the layout) until its picture has grown into it.
class RowTransition final : public QWidget {
    Q_OBJECT
public:
    static void enter(QWidget* row, QWidget* host, int milliseconds);
    static void leave(QPixmap picture, QRect geometry, QWidget* host, int milliseconds);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RowTransition(QWidget* host, QPointer<QWidget> row, QPixmap picture, QRect geometry,
                  bool entering, int milliseconds);
    void step(qreal progress);

    QPointer<QWidget> row_;
    QPixmap picture_;
    bool entering_;
    qreal visible_ = 0; // 0 gone, 1 fully there
    QVariantAnimation animation_;
};

} // namespace tidemark::ui
