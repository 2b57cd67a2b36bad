#include "platform/linux/live/wayland/LayerStrip.h"

#include "platform/linux/live/wayland/LayerShellProtocol.h"
#include "ui/StripPainting.h"

#include <QPainter>
#include <linux/input-event-codes.h>
#include <wayland-client.h>

namespace tidemark::linux_platform::live::wayland {
namespace {

using linux_platform::wayland::SurfaceSize;

constexpr SurfaceSize kAskedSize{0, ui::kStripBarHeight};

} // namespace

LayerStrip::LayerStrip(WaylandConnection& connection, PointerRouter& pointer)
    : connection_(connection), pointer_(pointer), buffers_(connection.shm()) {
    connection_.setOutputsListener([this] { placeOnOutput(); });
    placeOnOutput();
}

LayerStrip::~LayerStrip() {
    connection_.setOutputsListener(nullptr);
    removeSurface();
    connection_.flush();
}

const WaylandOutput* LayerStrip::output() const {
    for (const auto& output : connection_.outputs())
        if (surface_ && output->globalName == outputName_)
            return output.get();
    return nullptr;
}

int LayerStrip::scale() const {
    const auto* on = output();
    return on ? on->scale : 1;
}

void LayerStrip::placeOnOutput() {
    const auto& outputs = connection_.outputs();
    if (surface_) {
        // Still there: only its scale may have changed.
        if (output()) {
            if (scale() != drawnScale_)
                markDirty();
            return;
        }
        removeSurface();
    }
    const WaylandOutput* chosen = nullptr;
    for (const auto& output : outputs)
        if (output->described && output->globalName != closedOutput_.value_or(0)) {
            chosen = output.get();
            break;
        }
    if (!chosen && !outputs.empty() && outputs.front()->described)
        chosen = outputs.front().get();
    if (!chosen)
        return;
    outputName_ = chosen->globalName;
    surface_ = std::make_unique<LayerSurface>(
        connection_, pointer_, static_cast<PointerSink&>(*this), chosen->output,
        LayerSurface::Role{.layer = ZWLR_LAYER_SHELL_V1_LAYER_TOP,
                           .name = "tidemark",
                           .anchor = ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT,
                           .exclusiveZone = kAskedSize.height},
        LayerSurface::Listener{
            .configured = [this](std::uint32_t width,
                                 std::uint32_t height) { configured(width, height); },
            .closed =
                [this] {
                    closedOutput_ = outputName_;
                    removeSurface();
                    placeOnOutput();
                }});
    zwlr_layer_surface_v1_set_size(surface_->layer(), std::uint32_t(kAskedSize.width),
                                   std::uint32_t(kAskedSize.height));
    surface_->commitRole();
}

void LayerStrip::removeSurface() {
    buffers_.clear();
    surface_.reset();
    size_.reset();
    dirty_ = true;
}

void LayerStrip::configured(std::uint32_t width, std::uint32_t height) {
    const auto size = linux_platform::wayland::configuredSize(width, height, kAskedSize);
    if (!size)
        return;
    size_ = size;
    // Every configure wants a commit after its ack, whether the size changed or not.
    markDirty();
}

void LayerStrip::markDirty() {
    dirty_ = true;
    redraw();
}

void LayerStrip::redraw() {
    if (!surface_ || !size_ || !dirty_)
        return;
    const int scale = this->scale();
    const auto size = linux_platform::wayland::bufferSize(*size_, scale);
    if (!size)
        return;
    ShmBuffer* buffer = buffers_.free(*size);
    if (!buffer)
        return;
    QImage& pixels = buffer->image();
    pixels.setDevicePixelRatio(scale);
    pixels.fill(Qt::transparent);
    {
        QPainter painter(&pixels);
        const Rect button = buttonRect();
        std::optional<QColor> highlight;
        if (highlighted_)
            highlight = highlightColor_;
        ui::paintStrip(painter, QRect(0, 0, size_->width, size_->height),
                       QRect(int(button.minX()), 0, int(button.width()), int(button.height())),
                       scale, {image_.get(), appearance_, highlight, dropTarget_, highlightColor_},
                       pixels_);
    }
    // A change that came while both buffers were busy is painted when one comes back.
    buffer->present(surface_->surface(), scale, [this] { redraw(); });
    drawnScale_ = scale;
    dirty_ = false;
    connection_.flush();
    if (image_ && firstImageListener_)
        std::exchange(firstImageListener_, nullptr)();
}

void LayerStrip::setAppearance(Appearance appearance) {
    appearance_ = appearance;
    pixels_ = QImage();
    markDirty();
}

void LayerStrip::setImage(ImageRef image) {
    image_ = std::move(image);
    pixels_ = QImage();
    markDirty();
}

Rect LayerStrip::buttonRect() const {
    return linux_platform::wayland::buttonRect(size_.value_or(kAskedSize),
                                               ui::stripButtonWidth(image_.get()));
}

Rect LayerStrip::bounds() const {
    const Rect button = buttonRect();
    return Rect{0, 0, button.width(), button.height()};
}

std::optional<WindowID> LayerStrip::window() const {
    if (!surface_ || !size_)
        return std::nullopt;
    return WindowID(wl_proxy_get_id(reinterpret_cast<wl_proxy*>(surface_->surface())));
}

std::optional<Rect> LayerStrip::outputFrame() const {
    const auto* on = output();
    if (!on || !size_)
        return std::nullopt;
    return Rect{double(on->x), double(on->y), double(size_->width), double(size_->height)};
}

std::optional<Rect> LayerStrip::convertToScreen(Rect inButton) const {
    const auto frame = outputFrame();
    if (!frame)
        return std::nullopt;
    const Rect button = buttonRect();
    return Rect{frame->minX() + button.minX() + inButton.minX(),
                frame->minY() + button.minY() + inButton.minY(), inButton.width(),
                inButton.height()};
}

Point LayerStrip::pointerLocation() const {
    const auto frame = outputFrame().value_or(Rect{});
    return Point{frame.minX() + pointerAt_.x, frame.minY() + pointerAt_.y};
}

void LayerStrip::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted)
        return;
    highlighted_ = highlighted;
    markDirty();
}

void LayerStrip::setDropTarget(std::optional<Rect> glyphInButton) {
    if (dropTarget_ == glyphInButton)
        return;
    dropTarget_ = glyphInButton;
    markDirty();
}

void LayerStrip::trackPointer(std::function<void()> entered, std::function<void()> exited,
                              std::function<void(Point)> moved) {
    entered_ = std::move(entered);
    exited_ = std::move(exited);
    moved_ = std::move(moved);
}

Point LayerStrip::toButton(Point onSurface) const {
    const Rect button = buttonRect();
    return Point{onSurface.x - button.minX(), onSurface.y - button.minY()};
}

void LayerStrip::pointerEntered(Point at) {
    onSurface_ = true;
    pointerMoved(at);
}

void LayerStrip::pointerLeft() {
    onSurface_ = false;
    wheel_.reset();
    updatePointerInside();
}

void LayerStrip::pointerMoved(Point at) {
    pointerAt_ = at;
    updatePointerInside();
    if (pointerInside_ && moved_)
        moved_(toButton(at));
}

void LayerStrip::pointerScrolled(int clicks, double distance) {
    int notches = clicks;
    if (clicks != 0)
        wheel_.reset();
    else
        notches = wheel_.add(distance);
    if (notches != 0 && turned_)
        turned_(toButton(pointerAt_), notches);
}

void LayerStrip::updatePointerInside() {
    const bool inside = onSurface_ && buttonRect().contains(pointerAt_);
    if (inside == pointerInside_)
        return;
    pointerInside_ = inside;
    if (inside && entered_)
        entered_();
    else if (!inside && exited_)
        exited_();
}

void LayerStrip::pointerButton(std::uint32_t code, bool pressed) {
    MouseButton button;
    if (code == BTN_LEFT)
        button = MouseButton::Left;
    else if (code == BTN_RIGHT)
        button = MouseButton::Right;
    else
        return;
    MouseEvent routed;
    routed.button = button;
    routed.action = pressed ? MouseAction::Down : MouseAction::Up;
    routed.window = window();
    routed.locationInButton = toButton(pointerAt_);
    // The strip reads no keyboard, so a click carries no modifiers: none changes what a
    // click does on a desktop that does not drag status items.
    const bool goesOn = !monitor_ || monitor_(routed);
    if (goesOn && button == MouseButton::Left)
        setHighlighted(pressed);
}

} // namespace tidemark::linux_platform::live::wayland
