#include "platform/linux/live/wayland/LayerPanel.h"

#include "platform/linux/live/wayland/LayerShellProtocol.h"
#include "platform/linux/live/wayland/LayerStrip.h"
#include "platform/linux/live/wayland/WaylandConnection.h"
#include "ui/QtPanelWindow.h"
#include "ui/popover/PanelPicture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <linux/input-event-codes.h>
#include <wayland-client.h>

namespace tidemark::linux_platform::live::wayland {
namespace {

using linux_platform::wayland::SurfaceSize;

// Libinput's wheel click is 15 degrees (120 eighths), about 10 surface units when scrolled
// continuously.
constexpr int kEighthsPerClick = 120;
constexpr double kEighthsPerUnit = 12;

std::optional<Qt::MouseButton> qtButton(std::uint32_t code) {
    switch (code) {
    case BTN_LEFT:
        return Qt::LeftButton;
    case BTN_RIGHT:
        return Qt::RightButton;
    case BTN_MIDDLE:
        return Qt::MiddleButton;
    default:
        return std::nullopt;
    }
}

SurfaceSize surfaceSize(Rect frame) {
    return {std::max(1, int(std::ceil(frame.width()))),
            std::max(1, int(std::ceil(frame.height())))};
}

} // namespace

// The content's top widget: a window Qt keeps off the screen, whose repaints and size wishes
// the panel hears.
class LayerPanel::Host final : public QWidget {
public:
    explicit Host(LayerPanel& panel)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
          panel_(panel) {
        setAttribute(Qt::WA_DontShowOnScreen);
        setAttribute(Qt::WA_TranslucentBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    bool event(QEvent* event) override {
        const auto type = event->type();
        const bool handled = QWidget::event(event);
        if (type == QEvent::UpdateRequest)
            panel_.contentPainted();
        else if (type == QEvent::LayoutRequest)
            panel_.contentWantsSize();
        return handled;
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        ui::paintPanelBackground(painter, QRectF(rect()), palette());
    }
    void resizeEvent(QResizeEvent*) override {
        if (panel_.content_)
            panel_.content_->setGeometry(rect());
    }

private:
    LayerPanel& panel_;
};

LayerPanel::LayerPanel(WaylandConnection& connection, PointerRouter& pointer,
                       const LayerStrip& strip, std::unique_ptr<QWidget> content)
    : connection_(connection), pointer_(pointer), strip_(strip),
      host_(std::make_unique<Host>(*this)), offscreenPointer_(*host_), buffers_(connection.shm()) {
    if (content) {
        content_ = content.release();
        content_->setParent(host_.get()); // the host owns it from here
        content_->move(0, 0);
    }
}

LayerPanel::~LayerPanel() {
    shown_ = false;
    fadeCompletion_ = nullptr;
    takeOverFade();
    destroySurface();
    connection_.flush();
}

int LayerPanel::scale() const {
    const auto* output = strip_.output();
    return output ? output->scale : 1;
}

Size LayerPanel::fittingSize() {
    return ui::contentFittingSize(content_);
}

void LayerPanel::setFrame(Rect frame) {
    frame_ = Rect{std::round(frame.minX()), std::round(frame.minY()), std::ceil(frame.width()),
                  std::ceil(frame.height())};
    offscreenPointer_.setOrigin(QPointF(frame_.minX(), frame_.minY()));
    // Resizing repaints the content, which shows the new image.
    host_->setGeometry(int(frame_.minX()), int(frame_.minY()), int(frame_.width()),
                       int(frame_.height()));
    placeSurface();
    announcePlacement();
}

void LayerPanel::orderFrontRegardless() {
    shown_ = true;
    // Showing the host has Qt paint it, which renders the image the surface shows once
    // configured; a host still shown keeps its last image.
    host_->show();
    if (!surface_)
        createSurface();
    announcePlacement();
}

void LayerPanel::orderOut() {
    shown_ = false;
    offscreenPointer_.left();
    destroySurface();
    host_->hide();
    connection_.flush();
}

void LayerPanel::createSurface() {
    const auto* output = strip_.output();
    if (!output)
        return;
    // Placed from the output's corner by its margins, over the strip's band and any other.
    surface_ = std::make_unique<LayerSurface>(
        connection_, pointer_, static_cast<PointerSink&>(*this), output->output,
        LayerSurface::Role{.layer = ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
                           .name = "tidemark-panel",
                           .anchor =
                               ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT,
                           .exclusiveZone = -1},
        LayerSurface::Listener{.configured = [this](std::uint32_t, std::uint32_t) { configured(); },
                               // Its output went: the panel shows again on the strip's next one.
                               .closed = [this] { destroySurface(); }});
    placeSurface();
    surface_->commitRole();
}

void LayerPanel::destroySurface() {
    buffers_.clear();
    surface_.reset();
    configured_ = false;
}

void LayerPanel::placeSurface() {
    const auto* output = strip_.output();
    if (!surface_ || !output)
        return;
    const auto size = surfaceSize(frame_);
    zwlr_layer_surface_v1_set_size(surface_->layer(), std::uint32_t(size.width),
                                   std::uint32_t(size.height));
    zwlr_layer_surface_v1_set_margin(surface_->layer(), int(frame_.minY()) - output->y, 0, 0,
                                     int(frame_.minX()) - output->x);
}

void LayerPanel::configured() {
    configured_ = true;
    // Every configure wants a commit after its ack.
    dirty_ = true;
    present();
}

void LayerPanel::contentPainted() {
    if (!shown_ || !content_)
        return;
    const int scale = this->scale();
    const auto size = surfaceSize(frame_);
    if (pixels_.size() != QSize(size.width * scale, size.height * scale))
        pixels_ =
            QImage(size.width * scale, size.height * scale, QImage::Format_ARGB32_Premultiplied);
    pixels_.setDevicePixelRatio(scale);
    pixels_.fill(Qt::transparent);
    {
        QPainter painter(&pixels_);
        host_->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    dirty_ = true;
    present();
}

void LayerPanel::contentWantsSize() {
    if (!content_ || !shown_)
        return;
    const Size wanted = fittingSize();
    if (surfaceSize(Rect{0, 0, wanted.width, wanted.height}) == surfaceSize(frame_))
        return;
    const Rect proposed{frame_.minX(), frame_.minY(), wanted.width, wanted.height};
    setFrame(frameFilter_ ? frameFilter_(proposed) : proposed);
}

void LayerPanel::present() {
    if (!surface_ || !configured_ || !dirty_ || pixels_.isNull())
        return;
    const int scale = int(pixels_.devicePixelRatio());
    const auto size = linux_platform::wayland::bufferSize(
        SurfaceSize{pixels_.width() / scale, pixels_.height() / scale}, scale);
    ShmBuffer* buffer = size ? buffers_.free(*size) : nullptr;
    if (!buffer)
        return;
    QImage& target = buffer->image();
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        painter.setOpacity(alpha_);
        painter.drawImage(QRect(0, 0, size->width, size->height), pixels_);
    }
    // A change that came while both buffers were busy is shown when one comes back.
    buffer->present(surface_->surface(), scale, [this] { present(); });
    dirty_ = false;
    connection_.flush();
    if (frameListener_)
        runLater(std::exchange(frameListener_, nullptr));
}

void LayerPanel::notifyNextFrame(std::function<void()> listener) {
    frameListener_ = std::move(listener);
    dirty_ = true;
    present();
}

void LayerPanel::setAlpha(double alpha) {
    takeOverFade();
    alpha_ = alpha;
    dirty_ = true;
    present();
}

void LayerPanel::animateAlpha(double alpha, TimeSeconds duration, AnimationCurve curve,
                              std::function<void()> completion) {
    takeOverFade();
    if (duration <= 0) {
        setAlpha(alpha);
        runLater(std::move(completion));
        return;
    }
    auto* fade = new QVariantAnimation(host_.get());
    fade->setDuration(int(std::lround(duration * 1000)));
    fade->setStartValue(alpha_);
    fade->setEndValue(alpha);
    fade->setEasingCurve(ui::panelEasing(curve));
    fade_ = fade;
    fadeCompletion_ = std::move(completion);
    QObject::connect(fade, &QVariantAnimation::valueChanged, host_.get(),
                     [this](const QVariant& value) {
                         alpha_ = value.toDouble();
                         dirty_ = true;
                         present();
                     });
    QObject::connect(fade, &QVariantAnimation::finished, host_.get(), [this] {
        fade_ = nullptr;
        runLater(std::exchange(fadeCompletion_, nullptr));
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void LayerPanel::takeOverFade() {
    if (fade_) {
        fade_->disconnect(host_.get());
        fade_->stop(); // deletes it
        fade_ = nullptr;
    }
    runLater(std::exchange(fadeCompletion_, nullptr));
}

void LayerPanel::runLater(std::function<void()> block) {
    if (block)
        QMetaObject::invokeMethod(host_.get(), std::move(block), Qt::QueuedConnection);
}

void LayerPanel::announcePlacement() {
    if (placementListener_)
        runLater(placementListener_);
}

void LayerPanel::pointerEntered(Point at) {
    offscreenPointer_.moved(QPointF(at.x, at.y));
    if (shown_ && entered_)
        entered_();
}

void LayerPanel::pointerLeft() {
    offscreenPointer_.left();
    if (shown_ && exited_)
        exited_();
}

void LayerPanel::pointerMoved(Point at) {
    offscreenPointer_.moved(QPointF(at.x, at.y));
}

void LayerPanel::pointerButton(std::uint32_t code, bool pressed) {
    if (const auto button = qtButton(code))
        offscreenPointer_.button(*button, pressed);
}

void LayerPanel::pointerScrolled(int clicks, double distance) {
    offscreenPointer_.scrolled(clicks != 0 ? -clicks * kEighthsPerClick
                                           : int(std::lround(-distance * kEighthsPerUnit)));
}

} // namespace tidemark::linux_platform::live::wayland
