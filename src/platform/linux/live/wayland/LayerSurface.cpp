#include "platform/linux/live/wayland/LayerSurface.h"

#include "platform/linux/live/wayland/LayerShellProtocol.h"
#include "platform/linux/live/wayland/WaylandConnection.h"

namespace tidemark::linux_platform::live::wayland {

LayerSurface::LayerSurface(WaylandConnection& connection, PointerRouter& pointer, PointerSink& sink,
                           wl_output* output, Role role, Listener listener)
    : connection_(connection), pointer_(pointer), listener_(std::move(listener)) {
    surface_ = wl_compositor_create_surface(connection_.compositor());
    layer_ = zwlr_layer_shell_v1_get_layer_surface(connection_.layerShell(), surface_, output,
                                                   role.layer, role.name);
    zwlr_layer_surface_v1_set_anchor(layer_, role.anchor);
    zwlr_layer_surface_v1_set_exclusive_zone(layer_, role.exclusiveZone);
    static const zwlr_layer_surface_v1_listener events{
        .configure =
            [](void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
               std::uint32_t height) {
                zwlr_layer_surface_v1_ack_configure(layer, serial);
                auto& self = *static_cast<LayerSurface*>(data);
                if (self.listener_.configured)
                    self.listener_.configured(width, height);
            },
        .closed =
            [](void* data, zwlr_layer_surface_v1*) {
                // A copy: the owner may destroy this surface, and its listener, in the call.
                if (const auto closed = static_cast<LayerSurface*>(data)->listener_.closed)
                    closed();
            },
    };
    zwlr_layer_surface_v1_add_listener(layer_, &events, this);
    pointer_.add(surface_, sink);
}

LayerSurface::~LayerSurface() {
    pointer_.remove(surface_);
    zwlr_layer_surface_v1_destroy(layer_);
    wl_surface_destroy(surface_);
}

void LayerSurface::commitRole() {
    wl_surface_commit(surface_);
    connection_.flush();
}

} // namespace tidemark::linux_platform::live::wayland
