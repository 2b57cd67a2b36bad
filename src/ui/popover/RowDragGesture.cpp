#include "ui/popover/RowDragGesture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace tidemark::ui {
namespace {

const char* const kPidProperty = "tidemarkRowPid";

} // namespace

RowDragGesture::RowDragGesture(QWidget* grabber, RowDragHandlers handlers)
    : QObject(grabber), grabber_(grabber), handlers_(std::move(handlers)) {
    grabber_->installEventFilter(this);
}

RowDragGesture::~RowDragGesture() {
    if (dragging_)
        finish(std::nullopt);
    else if (awaitingRelease_)
        grabber_->releaseMouse();
}

void RowDragGesture::watchRow(QWidget* row, std::int32_t pid) {
    row->setProperty(kPidProperty, pid);
    row->installEventFilter(this);
}

void RowDragGesture::start() {
    if (!pressedPid_ || !handlers_.begin || !handlers_.begin(*pressedPid_))
        return;
    dragging_ = true;
    // Grabs of this program's own windows: under any window manager the moves over the
    // strip and the keys come here until the release.
    grabber_->grabMouse(Qt::ClosedHandCursor);
    grabber_->grabKeyboard();
}

void RowDragGesture::cancel() {
    dragging_ = false;
    awaitingRelease_ = true;
    pressedPid_.reset();
    grabber_->releaseKeyboard();
    if (handlers_.cancelled)
        handlers_.cancelled();
}

void RowDragGesture::finish(std::optional<QPoint> dropAt) {
    dragging_ = false;
    pressedPid_.reset();
    grabber_->releaseMouse();
    grabber_->releaseKeyboard();
    if (dropAt && handlers_.dropped)
        handlers_.dropped(*dropAt);
    else if (!dropAt && handlers_.cancelled)
        handlers_.cancelled();
}

bool RowDragGesture::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (dragging_ || awaitingRelease_ || watched == grabber_ ||
            mouse->button() != Qt::LeftButton)
            return dragging_ || awaitingRelease_;
        pressedPid_ = watched->property(kPidProperty).toInt();
        pressedAt_ = mouse->globalPosition().toPoint();
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->globalPosition().toPoint();
        if (dragging_) {
            if (handlers_.moved)
                handlers_.moved(at);
            return true;
        }
        if (awaitingRelease_)
            return true;
        if (pressedPid_ && (mouse->buttons() & Qt::LeftButton) &&
            (at - pressedAt_).manhattanLength() >= kStartDistance) {
            start();
            if (dragging_ && handlers_.moved)
                handlers_.moved(at);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (dragging_ && mouse->button() == Qt::LeftButton) {
            finish(mouse->globalPosition().toPoint());
            return true;
        }
        if (awaitingRelease_ && !(mouse->buttons() & Qt::LeftButton)) {
            awaitingRelease_ = false;
            grabber_->releaseMouse();
            return true;
        }
        pressedPid_.reset();
        return false;
    }
    case QEvent::KeyPress:
        if (dragging_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            cancel();
            return true;
        }
        return dragging_;
    default:
        return false;
    }
}

} // namespace tidemark::ui
