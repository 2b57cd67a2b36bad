#pragma once

#include "foundation/Geometry.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

struct wl_cursor_theme;
struct wl_pointer;
struct wl_surface;

namespace tidemark::linux_platform::live::wayland {

class WaylandConnection;

// What one of the app's surfaces hears of the seat's pointer, in surface coordinates.
class PointerSink {
public:
    virtual ~PointerSink() = default;
    virtual void pointerEntered(Point at) = 0;
    virtual void pointerLeft() = 0;
    virtual void pointerMoved(Point at) = 0;
    // A Linux button code (BTN_LEFT…).
    virtual void pointerButton(std::uint32_t code, bool pressed) = 0;
    // One frame's vertical scrolling: the wheel's clicks when it has them, else the
    // continuous distance in surface units.
    virtual void pointerScrolled(int clicks, double distance) = 0;
    // The scale the cursor is drawn at over the surface.
    virtual int cursorScale() const = 0;
};

// The seat's one pointer, shared by the app's surfaces (the strip, the panel): its events go
// to the sink of the surface it is over, which the compositor keeps while a button is held,
// and entering a surface shows the arrow cursor.
class PointerRouter {
public:
    explicit PointerRouter(WaylandConnection& connection);
    ~PointerRouter();
    PointerRouter(const PointerRouter&) = delete;
    PointerRouter& operator=(const PointerRouter&) = delete;

    void add(wl_surface* surface, PointerSink& sink);
    // Before the surface is destroyed; its sink hears the pointer leave if it was over it.
    void remove(wl_surface* surface);

private:
    void follow(wl_pointer* pointer);
    PointerSink* sinkOf(wl_surface* surface) const;
    void entered(std::uint32_t serial, wl_surface* surface, Point at);
    void left(wl_surface* surface);
    void frameEnded();
    void showArrow(int scale);

    WaylandConnection& connection_;
    std::vector<std::pair<wl_surface*, PointerSink*>> sinks_;
    wl_surface* over_ = nullptr;
    std::optional<std::uint32_t> enterSerial_;
    int pendingClicks_ = 0;
    double pendingDistance_ = 0;
    wl_cursor_theme* cursorTheme_ = nullptr;
    int themeScale_ = 0;
    wl_surface* cursorSurface_ = nullptr;
};

} // namespace tidemark::linux_platform::live::wayland
