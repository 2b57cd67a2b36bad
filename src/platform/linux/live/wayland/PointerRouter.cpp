#include "platform/linux/live/wayland/PointerRouter.h"

#include "platform/linux/live/wayland/WaylandConnection.h"

#include <algorithm>
#include <climits>
#include <wayland-client.h>
#include <wayland-cursor.h>

namespace tidemark::linux_platform::live::wayland {
namespace {

constexpr int kCursorSize = 24;

Point surfacePoint(wl_fixed_t x, wl_fixed_t y) {
    return Point{wl_fixed_to_double(x), wl_fixed_to_double(y)};
}

PointerRouter& routerOf(void* data) {
    return *static_cast<PointerRouter*>(data);
}

} // namespace

PointerRouter::PointerRouter(WaylandConnection& connection) : connection_(connection) {
    connection_.setPointerListener([this] { follow(connection_.pointer()); });
    if (connection_.pointer())
        follow(connection_.pointer());
}

PointerRouter::~PointerRouter() {
    connection_.setPointerListener(nullptr);
    if (cursorSurface_)
        wl_surface_destroy(cursorSurface_);
    if (cursorTheme_)
        wl_cursor_theme_destroy(cursorTheme_);
}

void PointerRouter::add(wl_surface* surface, PointerSink& sink) {
    sinks_.emplace_back(surface, &sink);
}

void PointerRouter::remove(wl_surface* surface) {
    PointerSink* sink = sinkOf(surface);
    std::erase_if(sinks_, [surface](const auto& entry) { return entry.first == surface; });
    if (surface != over_)
        return;
    over_ = nullptr;
    enterSerial_.reset();
    if (sink)
        sink->pointerLeft();
}

PointerSink* PointerRouter::sinkOf(wl_surface* surface) const {
    const auto found = std::ranges::find_if(
        sinks_, [surface](const auto& entry) { return surface && entry.first == surface; });
    return found == sinks_.end() ? nullptr : found->second;
}

void PointerRouter::follow(wl_pointer* pointer) {
    if (!pointer)
        return;
    // Assigned one by one: libwayland adds members for newer versions, left empty here.
    static const wl_pointer_listener listener = [] {
        wl_pointer_listener listener{};
        listener.enter = [](void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface,
                            wl_fixed_t x, wl_fixed_t y) {
            routerOf(data).entered(serial, surface, surfacePoint(x, y));
        };
        listener.leave = [](void* data, wl_pointer*, std::uint32_t, wl_surface* surface) {
            routerOf(data).left(surface);
        };
        listener.motion = [](void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
            if (auto* sink = routerOf(data).sinkOf(routerOf(data).over_))
                sink->pointerMoved(surfacePoint(x, y));
        };
        listener.button = [](void* data, wl_pointer*, std::uint32_t, std::uint32_t,
                             std::uint32_t button, std::uint32_t state) {
            if (auto* sink = routerOf(data).sinkOf(routerOf(data).over_))
                sink->pointerButton(button, state == WL_POINTER_BUTTON_STATE_PRESSED);
        };
        listener.axis = [](void* data, wl_pointer*, std::uint32_t, std::uint32_t axis,
                           wl_fixed_t value) {
            if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL)
                routerOf(data).pendingDistance_ += wl_fixed_to_double(value);
        };
        listener.frame = [](void* data, wl_pointer*) { routerOf(data).frameEnded(); };
        listener.axis_source = [](void*, wl_pointer*, std::uint32_t) {};
        listener.axis_stop = [](void*, wl_pointer*, std::uint32_t, std::uint32_t) {};
        listener.axis_discrete = [](void* data, wl_pointer*, std::uint32_t axis,
                                    std::int32_t clicks) {
            if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL)
                routerOf(data).pendingClicks_ += clicks;
        };
        return listener;
    }();
    wl_pointer_add_listener(pointer, &listener, this);
}

void PointerRouter::entered(std::uint32_t serial, wl_surface* surface, Point at) {
    over_ = surface;
    enterSerial_ = serial;
    PointerSink* sink = sinkOf(surface);
    if (!sink)
        return;
    showArrow(sink->cursorScale());
    sink->pointerEntered(at);
}

void PointerRouter::left(wl_surface* surface) {
    if (!surface || surface != over_)
        return;
    over_ = nullptr;
    enterSerial_.reset();
    pendingClicks_ = 0;
    pendingDistance_ = 0;
    if (auto* sink = sinkOf(surface))
        sink->pointerLeft();
}

// A frame ends the events of one moment: a wheel click's step comes with its continuous
// value, and only the step counts then.
void PointerRouter::frameEnded() {
    const int clicks = std::exchange(pendingClicks_, 0);
    const double distance = std::exchange(pendingDistance_, 0);
    if (clicks == 0 && distance == 0)
        return;
    if (auto* sink = sinkOf(over_))
        sink->pointerScrolled(clicks, clicks != 0 ? 0 : distance);
}

void PointerRouter::showArrow(int scale) {
    wl_pointer* pointer = connection_.pointer();
    if (!pointer || !enterSerial_)
        return;
    if (cursorTheme_ && themeScale_ != scale) {
        wl_cursor_theme_destroy(cursorTheme_);
        cursorTheme_ = nullptr;
    }
    if (!cursorTheme_) {
        cursorTheme_ = wl_cursor_theme_load(nullptr, kCursorSize * scale, connection_.shm());
        themeScale_ = scale;
    }
    wl_cursor* cursor =
        cursorTheme_ ? wl_cursor_theme_get_cursor(cursorTheme_, "left_ptr") : nullptr;
    // Without a cursor theme the pointer keeps the image it had.
    if (!cursor || cursor->image_count == 0)
        return;
    wl_cursor_image* image = cursor->images[0];
    if (!cursorSurface_)
        cursorSurface_ = wl_compositor_create_surface(connection_.compositor());
    wl_surface_set_buffer_scale(cursorSurface_, scale);
    wl_surface_attach(cursorSurface_, wl_cursor_image_get_buffer(image), 0, 0);
    wl_surface_damage_buffer(cursorSurface_, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(cursorSurface_);
    wl_pointer_set_cursor(pointer, *enterSerial_, cursorSurface_, int(image->hotspot_x) / scale,
                          int(image->hotspot_y) / scale);
}

} // namespace tidemark::linux_platform::live::wayland
