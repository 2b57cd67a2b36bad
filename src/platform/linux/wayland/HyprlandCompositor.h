#pragma once

#include "platform/linux/wayland/Compositor.h"
#include "platform/linux/wayland/HyprlandReplies.h"

#include <string>

namespace tidemark::linux_platform::wayland {

// Hyprland through its two sockets: each request on a connection of its own, opened, written,
// read and closed (Hyprland serves them one at a time, and a connection held open stalls
// it), and the events as lines on the other.
class HyprlandCompositor final : public Compositor {
public:
    // The sockets of the instance `signature` that exist; nothing when none does.
    static std::optional<hyprland::SocketPaths> locate(std::string_view runtimeDir,
                                                       std::string_view signature);

    explicit HyprlandCompositor(hyprland::SocketPaths paths) : paths_(std::move(paths)) {}

    std::string_view name() const override { return "Hyprland"; }
    std::optional<Outputs> readOutputs() override;
    std::optional<Windows> readWindows() override;
    bool isReachable() override;
    bool focusWorkspace(SpaceId id) override;
    bool closeWindow(std::int64_t id) override;
    bool moveWindow(std::int64_t id, SpaceId to) override;
    std::unique_ptr<CompositorEvents> subscribe() override;

private:
    std::optional<nlohmann::json> ask(std::string_view request);
    bool dispatch(const std::string& request);

    hyprland::SocketPaths paths_;
};

} // namespace tidemark::linux_platform::wayland
