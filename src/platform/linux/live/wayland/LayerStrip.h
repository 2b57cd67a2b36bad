#pragma once

#include "platform/linux/live/wayland/LayerSurface.h"
#include "platform/linux/live/wayland/PointerRouter.h"
#include "platform/linux/live/wayland/ShmBuffer.h"
#include "platform/linux/live/wayland/WaylandConnection.h"
#include "platform/linux/wayland/StripSurface.h"
#include "spaces/Workspace.h"
#include "statusbar/ViewPorts.h"
#include "statusbar/WheelNotches.h"

#include <QColor>
#include <QImage>
#include <functional>
#include <memory>
#include <optional>

namespace tidemark::linux_platform::live::wayland {

// The strip as a layer surface on the top layer of the first output: a band across the
// output's top that the compositor keeps windows out of, with the status item's button at its
// right end. It is the status item button of the status bar: the image is painted into a
// shared-memory buffer at the output's scale when the image, the appearance, the highlight,
// the size or the scale changed, and at no other time. The pointer's buttons go to the mouse
// monitor, its moves and whole wheel notches to the tracking callbacks, as the X11 strip's do.
// When its output goes, the strip moves to the first one left.
class LayerStrip final : public StatusItemButton, private PointerSink {
public:
    LayerStrip(WaylandConnection& connection, PointerRouter& pointer);
    ~LayerStrip() override;
    LayerStrip(const LayerStrip&) = delete;
    LayerStrip& operator=(const LayerStrip&) = delete;

    void setAppearance(Appearance appearance);
    void setHighlightColor(QColor color) { highlightColor_ = color; }
    void setMouseMonitor(std::function<bool(const MouseEvent&)> monitor) {
        monitor_ = std::move(monitor);
    }
    // Called once, after the first image was handed to the compositor.
    void setFirstImageListener(std::function<void()> listener) {
        firstImageListener_ = std::move(listener);
    }
    // The output the strip is on, in the compositor's layout; nothing while it is on none.
    std::optional<Rect> outputFrame() const;
    // Where the pointer was last seen over the strip, in the compositor's layout.
    Point pointerLocation() const;
    // The output the strip is on; nothing while it is on none.
    const WaylandOutput* output() const;

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

private:
    void placeOnOutput();
    void removeSurface();
    void configured(std::uint32_t width, std::uint32_t height);
    void markDirty();
    void redraw();
    Rect buttonRect() const;
    Point toButton(Point onSurface) const;
    int scale() const;
    void updatePointerInside();

    // PointerSink
    void pointerEntered(Point at) override;
    void pointerLeft() override;
    void pointerMoved(Point at) override;
    void pointerButton(std::uint32_t code, bool pressed) override;
    void pointerScrolled(int clicks, double distance) override;
    int cursorScale() const override { return scale(); }

    WaylandConnection& connection_;
    PointerRouter& pointer_;
    std::unique_ptr<LayerSurface> surface_;
    std::uint32_t outputName_ = 0;
    // The output whose surface the compositor closed: not chosen again while others exist.
    std::optional<std::uint32_t> closedOutput_;
    std::optional<linux_platform::wayland::SurfaceSize> size_;
    int drawnScale_ = 0;
    ShmBuffers buffers_;
    bool dirty_ = true;

    ImageRef image_;
    Appearance appearance_ = Appearance::Light;
    QColor highlightColor_{0x99, 0xc1, 0xf1};
    bool highlighted_ = false;
    std::optional<Rect> dropTarget_;
    QImage pixels_;

    bool onSurface_ = false;
    bool pointerInside_ = false;
    Point pointerAt_;
    // Continuous scrolling: about 10 surface units a notch, as libinput reports a wheel click.
    WheelNotches wheel_{10};

    std::function<bool(const MouseEvent&)> monitor_;
    std::function<void()> firstImageListener_;
    std::function<void()> entered_, exited_;
    std::function<void(Point)> moved_;
    std::function<void(Point, int)> turned_;
};

} // namespace tidemark::linux_platform::live::wayland
