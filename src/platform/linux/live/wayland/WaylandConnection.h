#pragma once

#include "platform/linux/FdWatcher.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct zwlr_layer_shell_v1;

namespace tidemark::linux_platform::live::wayland {

class WaylandConnection;

// An output as the strip places itself on it.
struct WaylandOutput {
    wl_output* output = nullptr;
    std::uint32_t globalName = 0;
    // Where the compositor puts it in its layout, in logical pixels.
    int x = 0;
    int y = 0;
    int scale = 1;
    // Until its first `done`, an output's facts are not whole.
    bool described = false;
    WaylandConnection* connection = nullptr;
};

// The strip's own connection to the compositor (Qt keeps another for its windows): the
// globals it draws and reads the pointer with, and the outputs in the order the compositor
// announced them. An event source: its dispatch reads what arrived without blocking and
// sends what was queued. A connection the compositor closed is reported once, to the lost
// listener, and then watched no more.
class WaylandConnection final : public EventSource {
public:
    // Connects to WAYLAND_DISPLAY and learns the globals and outputs; nothing, with one line
    // in `error`, when no compositor answers or it offers no layer shell.
    static std::unique_ptr<WaylandConnection> open(std::string& error);
    ~WaylandConnection() override;
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return display_; }
    wl_compositor* compositor() const { return compositor_; }
    wl_shm* shm() const { return shm_; }
    zwlr_layer_shell_v1* layerShell() const { return layerShell_; }
    // The seat's pointer; nothing while the seat has none.
    wl_pointer* pointer() const { return pointer_; }
    const std::vector<std::unique_ptr<WaylandOutput>>& outputs() const { return outputs_; }

    // An output came, changed or went.
    void setOutputsListener(std::function<void()> listener) {
        outputsChanged_ = std::move(listener);
    }
    // The seat gained a pointer (it may lose it again: the pointer is then nothing).
    void setPointerListener(std::function<void()> listener) { pointerAdded_ = std::move(listener); }
    void setLostListener(std::function<void()> listener) { lost_ = std::move(listener); }

    // Sends the queued requests now (after drawing, outside a dispatch).
    void flush();

    // EventSource
    std::vector<int> eventFds() override;
    void dispatchEvents() override;

private:
    WaylandConnection() = default;
    void checkConnection();
    static void global(void* data, wl_registry*, std::uint32_t name, const char* interface,
                       std::uint32_t version);
    static void globalRemove(void* data, wl_registry*, std::uint32_t name);
    static void outputDone(void* data, wl_output*);
    static void seatCapabilities(void* data, wl_seat*, std::uint32_t capabilities);

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    wl_shm* shm_ = nullptr;
    zwlr_layer_shell_v1* layerShell_ = nullptr;
    wl_seat* seat_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    std::vector<std::unique_ptr<WaylandOutput>> outputs_;
    std::function<void()> outputsChanged_;
    std::function<void()> pointerAdded_;
    std::function<void()> lost_;
    bool isLost_ = false;
};

} // namespace tidemark::linux_platform::live::wayland
