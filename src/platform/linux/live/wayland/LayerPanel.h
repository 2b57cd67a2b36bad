#pragma once

#include "platform/linux/live/wayland/LayerSurface.h"
#include "platform/linux/live/wayland/PointerRouter.h"
#include "platform/linux/live/wayland/ShmBuffer.h"
#include "platform/linux/wayland/StripSurface.h"
#include "ui/OffscreenPointer.h"
#include "ui/QtPanelWindow.h"

#include <QImage>
#include <QPointer>
#include <QVariantAnimation>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace tidemark::linux_platform::live::wayland {

class LayerStrip;
class WaylandConnection;

// The hover panel as a layer surface on the overlay layer of the strip's output, placed at
// its frame (margins from the output's corner, over any band): the content view lives in a
// widget tree Qt never shows, painted into shared-memory buffers whenever Qt repaints it and
// given the pointer's events through an offscreen pointer. Shown, the surface exists; hidden,
// it is destroyed. The fades paint the last image again at each step's opacity.
class LayerPanel final : public ui::ObservablePanelWindow, private PointerSink {
public:
    LayerPanel(WaylandConnection& connection, PointerRouter& pointer, const LayerStrip& strip,
               std::unique_ptr<QWidget> content);
    ~LayerPanel() override;
    LayerPanel(const LayerPanel&) = delete;
    LayerPanel& operator=(const LayerPanel&) = delete;

    // ObservablePanelWindow
    QWidget* content() const override { return content_; }
    void setPlacementListener(std::function<void()> listener) override {
        placementListener_ = std::move(listener);
    }
    // Once the next image was handed to the compositor.
    void notifyNextFrame(std::function<void()> listener) override;

    // PanelWindow
    bool hasContent() const override { return content_ != nullptr; }
    Size fittingSize() override;
    void setFrame(Rect frame) override;
    Rect frame() const override { return frame_; }
    bool isVisible() const override { return shown_; }
    void orderFrontRegardless() override;
    void orderOut() override;
    void setAlpha(double alpha) override;
    void animateAlpha(double alpha, TimeSeconds duration, AnimationCurve curve,
                      std::function<void()> completion) override;
    void trackPointer(std::function<void()> entered, std::function<void()> exited) override {
        entered_ = std::move(entered);
        exited_ = std::move(exited);
    }
    void setFrameFilter(std::function<Rect(Rect proposed)> filter) override {
        frameFilter_ = std::move(filter);
    }

private:
    class Host;

    void createSurface();
    void destroySurface();
    void placeSurface();
    void configured();
    // Qt repainted the content (or it was resized): a new image, shown at once.
    void contentPainted();
    void contentWantsSize();
    void present();
    int scale() const;
    void takeOverFade();
    void runLater(std::function<void()> block);
    void announcePlacement();

    // PointerSink
    void pointerEntered(Point at) override;
    void pointerLeft() override;
    void pointerMoved(Point at) override;
    void pointerButton(std::uint32_t code, bool pressed) override;
    void pointerScrolled(int clicks, double distance) override;
    int cursorScale() const override { return scale(); }

    WaylandConnection& connection_;
    PointerRouter& pointer_;
    const LayerStrip& strip_;
    std::unique_ptr<Host> host_;
    QPointer<QWidget> content_;
    ui::OffscreenPointer offscreenPointer_;

    std::unique_ptr<LayerSurface> surface_;
    bool configured_ = false;
    ShmBuffers buffers_;
    QImage pixels_;
    bool dirty_ = false;

    Rect frame_;
    bool shown_ = false;
    double alpha_ = 1;
    QPointer<QVariantAnimation> fade_;
    std::function<void()> fadeCompletion_;

    std::function<void()> entered_, exited_;
    std::function<Rect(Rect)> frameFilter_;
    std::function<void()> placementListener_;
    std::function<void()> frameListener_;
};

} // namespace tidemark::linux_platform::live::wayland
