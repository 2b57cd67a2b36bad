#pragma once

#include "platform/linux/wayland/Compositor.h"

#include <chrono>
#include <memory>
#include <mutex>

namespace tidemark::linux_platform::wayland {

// The compositor's table, kept between its events and shared by the window server and the
// workspace; requests go out one at a time. Callable from any thread.
class CompositorSession {
public:
    explicit CompositorSession(std::unique_ptr<Compositor> compositor);

    std::string_view name() const { return compositor_->name(); }

    // Each part of the table: asked again once an event may have changed it, or, before events
    // are followed, once it is older than one refresh. Null when the compositor did not answer.
    std::shared_ptr<const Outputs> outputs();
    std::shared_ptr<const Windows> windows();
    // Asked now, whatever is kept.
    std::shared_ptr<const Windows> freshWindows();

    // From now on the parts are kept until `changed` says otherwise.
    void followEvents();
    // A part the changes told whole is edited; one they name, or one an edit does not fit, is
    // asked again.
    void changed(const TableChanges& changes);

    bool isReachable();
    bool focusWorkspace(SpaceId id);
    // Whether every request was delivered.
    bool closeWindows(const std::vector<std::int64_t>& ids);
    // The windows of `pid` on workspace `from`, by the table as it is now; sticky ones stay.
    WindowMoveResult moveWindows(std::int32_t pid, SpaceId from, SpaceId to);
    std::unique_ptr<CompositorEvents> subscribe();

private:
    using Clock = std::chrono::steady_clock;
    template <typename Part> struct Kept {
        std::shared_ptr<const Part> value;
        bool stale = true;
        Clock::time_point time{};
    };
    template <typename Part, typename Read>
    std::shared_ptr<const Part> partLocked(Kept<Part>&, Read);
    template <typename Part, typename Edit> void editLocked(Kept<Part>&, Edit);

    std::unique_ptr<Compositor> compositor_;
    std::mutex mutex_;
    bool following_ = false;
    Kept<Outputs> outputs_;
    Kept<Windows> windows_;
};

} // namespace tidemark::linux_platform::wayland
