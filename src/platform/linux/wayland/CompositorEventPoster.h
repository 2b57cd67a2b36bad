#pragma once

#include "platform/linux/wayland/CompositorSession.h"
#include "statusbar/EventPoster.h"

namespace tidemark::linux_platform::wayland {

// A compositor switches workspaces itself: no gestures to post. Switching is trusted while the
// compositor takes requests.
class CompositorEventPoster final : public EventPoster {
public:
    explicit CompositorEventPoster(CompositorSession& session) : session_(session) {}

    bool isProcessTrusted() override { return session_.isReachable(); }
    std::unique_ptr<SyntheticEvent> createEvent() override { return nullptr; }
    void post(const SyntheticEvent&, int, const std::string&) override {}

private:
    CompositorSession& session_;
};

} // namespace tidemark::linux_platform::wayland
