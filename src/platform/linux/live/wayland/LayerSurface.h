#pragma once

#include "platform/linux/live/wayland/PointerRouter.h"

#include <cstdint>
#include <functional>

struct wl_output;
struct wl_surface;
struct zwlr_layer_surface_v1;

namespace tidemark::linux_platform::live::wayland {

class WaylandConnection;

// A surface with the layer shell's role on one output, whose pointer events go to a sink
// while it lives. The compositor's configures are acknowledged before `configured` hears the
// size; `closed` hears that the compositor took the surface away (its output went), and the
// owner then destroys it, also from inside that call.
class LayerSurface {
public:
    struct Role {
        // ZWLR_LAYER_SHELL_V1_LAYER_…, ZWLR_LAYER_SURFACE_V1_ANCHOR_… bits.
        std::uint32_t layer = 0;
        const char* name = "";
        std::uint32_t anchor = 0;
        int exclusiveZone = 0;
    };
    struct Listener {
        std::function<void(std::uint32_t width, std::uint32_t height)> configured;
        std::function<void()> closed;
    };

    LayerSurface(WaylandConnection& connection, PointerRouter& pointer, PointerSink& sink,
                 wl_output* output, Role role, Listener listener);
    ~LayerSurface();
    LayerSurface(const LayerSurface&) = delete;
    LayerSurface& operator=(const LayerSurface&) = delete;

    wl_surface* surface() const { return surface_; }
    zwlr_layer_surface_v1* layer() const { return layer_; }
    // The role's first commit, without a buffer, once the size and margins are set: the
    // compositor answers with the first configure.
    void commitRole();

private:
    WaylandConnection& connection_;
    PointerRouter& pointer_;
    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    Listener listener_;
};

} // namespace tidemark::linux_platform::live::wayland
