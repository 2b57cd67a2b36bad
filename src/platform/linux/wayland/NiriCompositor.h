#pragma once

#include "platform/linux/wayland/Compositor.h"

#include <nlohmann/json.hpp>
#include <string>

namespace tidemark::linux_platform::wayland {

// niri through its socket ($NIRI_SOCKET): one request a connection, one reply a line, and an
// event stream on a connection of its own.
class NiriCompositor final : public Compositor {
public:
    explicit NiriCompositor(std::string socketPath) : socketPath_(std::move(socketPath)) {}

    std::string_view name() const override { return "niri"; }
    std::optional<Outputs> readOutputs() override;
    std::optional<Windows> readWindows() override;
    bool isReachable() override;
    bool focusWorkspace(SpaceId id) override;
    bool closeWindow(std::int64_t id) override;
    bool moveWindow(std::int64_t id, SpaceId to) override;
    std::unique_ptr<CompositorEvents> subscribe() override;

private:
    std::optional<nlohmann::json> ask(std::string_view request);

    std::string socketPath_;
};

} // namespace tidemark::linux_platform::wayland
