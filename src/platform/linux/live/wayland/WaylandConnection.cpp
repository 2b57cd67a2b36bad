#include "platform/linux/live/wayland/WaylandConnection.h"

#include "platform/linux/live/wayland/LayerShellProtocol.h"

#include <algorithm>
#include <cstring>
#include <poll.h>
#include <wayland-client.h>

namespace tidemark::linux_platform::live::wayland {
namespace {

// The versions whose events the strip handles: wl_output's scale and done (2), layer
// surfaces' configure as in version 1, wl_pointer's frame and discrete axis (5).
constexpr std::uint32_t kCompositorVersion = 4;
constexpr std::uint32_t kShmVersion = 1;
constexpr std::uint32_t kLayerShellVersion = 1;
constexpr std::uint32_t kSeatVersion = 5;
constexpr std::uint32_t kOutputVersion = 2;

void releasePointer(wl_pointer* pointer) {
    if (wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION)
        wl_pointer_release(pointer);
    else
        wl_pointer_destroy(pointer);
}

template <typename T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface,
        std::uint32_t offered, std::uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

void outputGeometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t,
                    std::int32_t, std::int32_t, const char*, const char*, std::int32_t) {
    auto& output = *static_cast<WaylandOutput*>(data);
    output.x = x;
    output.y = y;
}
void outputMode(void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {}
void outputScale(void* data, wl_output*, std::int32_t scale) {
    static_cast<WaylandOutput*>(data)->scale = std::max(scale, 1);
}

} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open(std::string& error) {
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection);
    connection->display_ = wl_display_connect(nullptr);
    if (!connection->display_) {
        error = std::string("cannot connect to the Wayland compositor: ") + std::strerror(errno);
        return nullptr;
    }
    static const wl_registry_listener listener{&WaylandConnection::global,
                                               &WaylandConnection::globalRemove};
    connection->registry_ = wl_display_get_registry(connection->display_);
    wl_registry_add_listener(connection->registry_, &listener, connection.get());
    // The globals, then the outputs' first descriptions.
    if (wl_display_roundtrip(connection->display_) < 0 ||
        wl_display_roundtrip(connection->display_) < 0) {
        error = "the Wayland compositor closed the connection";
        return nullptr;
    }
    // Version 4 of the compositor damages buffers in their own pixels.
    if (!connection->compositor_ || !connection->shm_ || !connection->layerShell_ ||
        wl_compositor_get_version(connection->compositor_) < kCompositorVersion) {
        error = "the Wayland compositor offers no layer shell (wlr-layer-shell) for the strip";
        return nullptr;
    }
    return connection;
}

WaylandConnection::~WaylandConnection() {
    if (!display_)
        return;
    for (const auto& output : outputs_)
        wl_output_destroy(output->output);
    if (pointer_)
        releasePointer(pointer_);
    if (seat_)
        wl_seat_destroy(seat_);
    if (layerShell_)
        zwlr_layer_shell_v1_destroy(layerShell_);
    if (shm_)
        wl_shm_destroy(shm_);
    if (compositor_)
        wl_compositor_destroy(compositor_);
    if (registry_)
        wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
}

void WaylandConnection::global(void* data, wl_registry* registry, std::uint32_t name,
                               const char* interface, std::uint32_t version) {
    auto& self = *static_cast<WaylandConnection*>(data);
    const std::string_view kind(interface);
    if (kind == wl_compositor_interface.name && !self.compositor_) {
        self.compositor_ = bind<wl_compositor>(registry, name, wl_compositor_interface, version,
                                               kCompositorVersion);
    } else if (kind == wl_shm_interface.name && !self.shm_) {
        self.shm_ = bind<wl_shm>(registry, name, wl_shm_interface, version, kShmVersion);
    } else if (kind == zwlr_layer_shell_v1_interface.name && !self.layerShell_) {
        self.layerShell_ = bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface,
                                                     version, kLayerShellVersion);
    } else if (kind == wl_seat_interface.name && !self.seat_) {
        self.seat_ = bind<wl_seat>(registry, name, wl_seat_interface, version, kSeatVersion);
        static const wl_seat_listener listener{&WaylandConnection::seatCapabilities,
                                               [](void*, wl_seat*, const char*) {}};
        wl_seat_add_listener(self.seat_, &listener, &self);
    } else if (kind == wl_output_interface.name) {
        auto output = std::make_unique<WaylandOutput>();
        output->globalName = name;
        output->connection = &self;
        output->output =
            bind<wl_output>(registry, name, wl_output_interface, version, kOutputVersion);
        static const wl_output_listener listener{&outputGeometry, &outputMode, &outputDone,
                                                 &outputScale,    nullptr,     nullptr};
        wl_output_add_listener(output->output, &listener, output.get());
        self.outputs_.push_back(std::move(output));
    }
}

void WaylandConnection::globalRemove(void* data, wl_registry*, std::uint32_t name) {
    auto& self = *static_cast<WaylandConnection*>(data);
    const auto gone = std::ranges::find_if(
        self.outputs_, [name](const auto& output) { return output->globalName == name; });
    if (gone == self.outputs_.end())
        return;
    // Told first, so the strip leaves it before the object goes.
    auto output = std::move(*gone);
    self.outputs_.erase(gone);
    if (self.outputsChanged_)
        self.outputsChanged_();
    wl_output_destroy(output->output);
}

void WaylandConnection::outputDone(void* data, wl_output*) {
    auto& output = *static_cast<WaylandOutput*>(data);
    output.described = true;
    if (output.connection->outputsChanged_)
        output.connection->outputsChanged_();
}

void WaylandConnection::seatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
    auto& self = *static_cast<WaylandConnection*>(data);
    const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (hasPointer && !self.pointer_) {
        self.pointer_ = wl_seat_get_pointer(seat);
        if (self.pointerAdded_)
            self.pointerAdded_();
    } else if (!hasPointer && self.pointer_) {
        releasePointer(self.pointer_);
        self.pointer_ = nullptr;
    }
}

void WaylandConnection::flush() {
    if (!isLost_ && wl_display_flush(display_) < 0 && errno != EAGAIN)
        checkConnection();
}

std::vector<int> WaylandConnection::eventFds() {
    if (isLost_)
        return {};
    return {wl_display_get_fd(display_)};
}

void WaylandConnection::dispatchEvents() {
    if (isLost_)
        return;
    // Events another call already read are handled first; then what the socket holds, read
    // only when it is readable so that nothing here waits.
    while (wl_display_prepare_read(display_) != 0)
        wl_display_dispatch_pending(display_);
    pollfd ready{wl_display_get_fd(display_), POLLIN, 0};
    if (::poll(&ready, 1, 0) > 0)
        wl_display_read_events(display_);
    else
        wl_display_cancel_read(display_);
    wl_display_dispatch_pending(display_);
    flush();
    checkConnection();
}

void WaylandConnection::checkConnection() {
    if (isLost_ || wl_display_get_error(display_) == 0)
        return;
    isLost_ = true;
    if (lost_)
        lost_();
}

} // namespace tidemark::linux_platform::live::wayland
