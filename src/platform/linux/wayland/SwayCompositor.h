#pragma once

#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/wayland/Compositor.h"

#include <string>

namespace tidemark::linux_platform::wayland {

// sway through its i3-style IPC socket ($SWAYSOCK): the i3 framing, readers and switch
// command, with the pid and app id sway gives each window.
class SwayCompositor final : public Compositor {
public:
    explicit SwayCompositor(std::string socketPath);

    std::string_view name() const override { return "sway"; }
    std::optional<Outputs> readOutputs() override;
    std::optional<Windows> readWindows() override;
    bool isReachable() override;
    bool focusWorkspace(SpaceId id) override;
    bool closeWindow(std::int64_t id) override;
    bool moveWindow(std::int64_t id, SpaceId to) override;
    std::unique_ptr<CompositorEvents> subscribe() override;

private:
    // Reports once that sway listed more than is read.
    void noteTruncated(bool truncated);

    std::string socketPath_;
    i3::Client client_;
    bool reportedTruncation_ = false;
};

} // namespace tidemark::linux_platform::wayland
