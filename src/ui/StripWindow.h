#pragma once

#include "spaces/Workspace.h"
#include "statusbar/ViewPorts.h"
#include "statusbar/WheelNotches.h"
#include "ui/StripPainting.h"

#include <QImage>
#include <QWidget>
#include <functional>

namespace tidemark::ui {

// The always-on-screen bar window that holds the status item: a dock on every desktop that
// never takes the focus. The status item's button is a rectangle at the right end of the
// window, as wide as the image plus a margin on each side; its image is drawn crisp at the
// screen's pixel ratio and tinted for the bar's appearance. Mouse buttons go to the monitor
// first (the status bar's event handling); pointer moves and whole wheel notches to the
// tracking callbacks.
class StripWindow final : public QWidget, public StatusItemButton {
    Q_OBJECT
public:
    static constexpr int kBarHeight = kStripBarHeight;

    StripWindow();

    // Places the window (screen coordinates); the button sits at its right end.
    void setWindowRect(const QRect& rect);
    void setAppearance(Appearance appearance);
    // The width the window needs when it is only as wide as the button.
    int buttonWidth() const;

    // Answers whether the event goes on to the button.
    void setMouseMonitor(std::function<bool(const MouseEvent&)> monitor);
    // Called once, after the first image reached the screen.
    void setFirstImageListener(std::function<void()> listener) {
        firstImageListener_ = std::move(listener);
    }
    // The image changed size: the window may have to grow or shrink.
    void setImageSizeListener(std::function<void()> listener) {
        sizeListener_ = std::move(listener);
    }

    // StatusItemButton
    void setImage(ImageRef image) override;
    ImageRef image() const override { return image_; }
    Rect bounds() const override;
    std::optional<Rect> cellImageRect(Rect) const override { return std::nullopt; }
    std::optional<WindowID> window() const override;
    std::optional<Rect> convertToScreen(Rect inButton) const override;
    void setHighlighted(bool highlighted) override;
    void setDropTarget(std::optional<Rect> glyphInButton) override;
    void trackPointer(std::function<void()> entered, std::function<void()> exited,
                      std::function<void(Point)> moved) override;
    void trackWheel(std::function<void(Point, int)> turned) override {
        turned_ = std::move(turned);
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // Anywhere over the window: the status bar picks the display whose glyphs are nearest.
    void wheelEvent(QWheelEvent* event) override;

private:
    QRect buttonRect() const;
    Point toButton(QPointF inWindow) const;
    bool routeMouse(QMouseEvent* event, MouseAction action);
    void updatePointerInside(QPointF inWindow);

    ImageRef image_;
    Appearance appearance_ = Appearance::Light;
    QImage pixels_;
    bool highlighted_ = false;
    std::optional<Rect> dropTarget_;
    bool pointerInside_ = false;
    std::function<bool(const MouseEvent&)> monitor_;
    std::function<void()> sizeListener_;
    std::function<void()> firstImageListener_;
    std::function<void()> entered_, exited_;
    std::function<void(Point)> moved_;
    std::function<void(Point, int)> turned_;
    // Qt's angle deltas: 120 (eighths of a degree) a notch of an ordinary wheel.
    WheelNotches wheel_{120};
};

} // namespace tidemark::ui
