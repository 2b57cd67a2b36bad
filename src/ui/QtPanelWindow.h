#pragma once

#include "statusbar/ViewPorts.h"

#include <QEasingCurve>
#include <QPointer>
#include <QPropertyAnimation>
#include <QWidget>
#include <functional>
#include <memory>

namespace tidemark::ui {

// What the panel windows share: the fades' curves and the size their content wants.
QEasingCurve panelEasing(AnimationCurve curve);
Size contentFittingSize(QWidget* content);

// A panel window the live app follows: its content, its placements and its frames.
class ObservablePanelWindow : public PanelWindow {
public:
    virtual QWidget* content() const = 0;
    // Runs once, right after the next frame of the window reached the screen.
    virtual void notifyNextFrame(std::function<void()> listener) = 0;
    // Runs after the window was placed, resized or shown.
    virtual void setPlacementListener(std::function<void()> listener) = 0;
};

// The hover panel's window: a frameless window that the window manager never manages, so it
// is never tiled, decorated or activated, and its first click acts. It holds one content view
// and is exactly as large as the view wants. With a compositor it is translucent and fades;
// without one it is opaque with a shape mask that keeps the corners round, and it appears and
// goes at once. Its colours follow the application's palette.
class QtPanelWindow final : public QWidget, public ObservablePanelWindow {
    Q_OBJECT
public:
    // `compositing`: a compositor draws translucent windows and their opacity.
    QtPanelWindow(std::unique_ptr<QWidget> content, bool compositing);

    // ObservablePanelWindow
    QWidget* content() const override { return content_; }
    void notifyNextFrame(std::function<void()> listener) override;
    void setPlacementListener(std::function<void()> listener) override {
        placementListener_ = std::move(listener);
    }

    // PanelWindow
    bool hasContent() const override { return content_ != nullptr; }
    Size fittingSize() override;
    void setFrame(Rect frame) override;
    Rect frame() const override;
    bool isVisible() const override { return QWidget::isVisible(); }
    void orderFrontRegardless() override;
    void orderOut() override;
    void setAlpha(double alpha) override;
    void animateAlpha(double alpha, TimeSeconds duration, AnimationCurve curve,
                      std::function<void()> completion) override;
    void trackPointer(std::function<void()> entered, std::function<void()> exited) override;
    void setFrameFilter(std::function<Rect(Rect proposed)> filter) override {
        frameFilter_ = std::move(filter);
    }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Ends the running fade where it is; its completion still runs.
    void takeOverFade();
    void runLater(std::function<void()> block);
    void fitContent();
    void announcePlacement();

    QPointer<QWidget> content_;
    const bool compositing_;
    QPointer<QPropertyAnimation> fade_;
    std::function<void()> fadeCompletion_;
    std::function<void()> entered_, exited_;
    std::function<Rect(Rect)> frameFilter_;
    std::function<void()> frameListener_;
    std::function<void()> placementListener_;
};

} // namespace tidemark::ui
