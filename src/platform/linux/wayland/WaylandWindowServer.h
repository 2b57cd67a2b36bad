#pragma once

#include "platform/linux/wayland/CompositorSession.h"
#include "spaces/WindowServer.h"

#include <mutex>

namespace tidemark::linux_platform::wayland {

// The window server of a Wayland compositor: every output is a display with its own
// workspaces, and the switch asks the compositor to show the workspace. Answers are made from
// the session's table and handed out again while the table is the same.
class WaylandWindowServer final : public WindowServer {
public:
    explicit WaylandWindowServer(CompositorSession& session) : session_(session) {}

    DisplayList displays() override;
    SharedWindowList windows() override;
    bool switchesDirectly() const override { return true; }
    bool makeCurrent(SpaceId space) override { return session_.focusWorkspace(space); }
    WindowMoveResult moveWindows(std::int32_t pid, SpaceId from, SpaceId to) override {
        return session_.moveWindows(pid, from, to);
    }

private:
    // An answer with the table it was made of.
    template <typename Answer> struct Made {
        Answer answer;
        std::shared_ptr<const Outputs> outputs;
        std::shared_ptr<const Windows> windows;
    };

    CompositorSession& session_;
    std::mutex mutex_;
    Made<DisplayList> displays_;
    Made<SharedWindowList> windowList_;
};

} // namespace tidemark::linux_platform::wayland
