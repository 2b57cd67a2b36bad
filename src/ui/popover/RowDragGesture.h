#pragma once

#include <QObject>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace tidemark::ui {

// Where a dragged app row reports to, in screen coordinates. `begin` answers whether a drag
// may start.
struct RowDragHandlers {
    std::function<bool(std::int32_t pid)> begin;
    std::function<void(QPoint onScreen)> moved;
    std::function<void(QPoint onScreen)> dropped;
    std::function<void()> cancelled;
};

// A press on a watched row and a move of a few points turn into a drag of that row's app.
// The drag is the grabber's: it holds the pointer and the keyboard, so the moves over the
// strip, another window, still reach it, and so does Escape, which cancels. After Escape the
// pointer stays held until the button is up, so that the release clicks nothing. Rows may be
// rebuilt during a drag; the grabber outlives them.
class RowDragGesture final : public QObject {
public:
    static constexpr int kStartDistance = 4;

    RowDragGesture(QWidget* grabber, RowDragHandlers handlers);
    ~RowDragGesture() override;

    void watchRow(QWidget* row, std::int32_t pid);
    bool isDragging() const { return dragging_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start();
    void finish(std::optional<QPoint> dropAt);
    void cancel();

    QWidget* grabber_;
    RowDragHandlers handlers_;
    std::optional<std::int32_t> pressedPid_;
    QPoint pressedAt_;
    bool dragging_ = false;
    bool awaitingRelease_ = false;
};

} // namespace tidemark::ui
