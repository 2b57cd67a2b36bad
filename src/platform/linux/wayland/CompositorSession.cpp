#include "platform/linux/wayland/CompositorSession.h"

namespace tidemark::linux_platform::wayland {

namespace {

// Long enough for the questions of one refresh (displays, windows, apps), short of the next.
constexpr auto kUnfollowedMaxAge = std::chrono::milliseconds(100);

} // namespace

CompositorSession::CompositorSession(std::unique_ptr<Compositor> compositor)
    : compositor_(std::move(compositor)) {}

template <typename Part, typename Read>
std::shared_ptr<const Part> CompositorSession::partLocked(Kept<Part>& kept, Read read) {
    const bool current =
        kept.value && !kept.stale && (following_ || Clock::now() - kept.time < kUnfollowedMaxAge);
    if (current)
        return kept.value;
    auto fresh = read();
    // A failed answer is not kept: the next question asks again.
    kept.value = fresh ? std::make_shared<const Part>(std::move(*fresh)) : nullptr;
    kept.stale = false;
    kept.time = Clock::now();
    return kept.value;
}

template <typename Part, typename Edit>
void CompositorSession::editLocked(Kept<Part>& kept, Edit edit) {
    // A part to be asked again has nothing to edit.
    if (!kept.value || kept.stale)
        return;
    auto edited = edit(*kept.value);
    if (!edited)
        kept.stale = true;
    // The same table keeps its pointer, so that answers made of it are handed out again.
    else if (*edited != *kept.value)
        kept.value = std::make_shared<const Part>(std::move(*edited));
}

std::shared_ptr<const Outputs> CompositorSession::outputs() {
    std::lock_guard lock(mutex_);
    return partLocked(outputs_, [&] { return compositor_->readOutputs(); });
}

std::shared_ptr<const Windows> CompositorSession::windows() {
    std::lock_guard lock(mutex_);
    return partLocked(windows_, [&] { return compositor_->readWindows(); });
}

std::shared_ptr<const Windows> CompositorSession::freshWindows() {
    std::lock_guard lock(mutex_);
    windows_.stale = true;
    return partLocked(windows_, [&] { return compositor_->readWindows(); });
}

void CompositorSession::followEvents() {
    std::lock_guard lock(mutex_);
    following_ = true;
    // What was read before the subscription may already be out of date.
    outputs_.stale = windows_.stale = true;
}

void CompositorSession::changed(const TableChanges& changes) {
    std::lock_guard lock(mutex_);
    if (changes.workspaces || changes.outputs)
        outputs_.stale = true;
    else if (!changes.shownWorkspaces.empty())
        editLocked(outputs_, [&](const Outputs& outputs) {
            std::optional<Outputs> edited = outputs;
            for (const auto& shown : changes.shownWorkspaces)
                if (!(edited = withShownWorkspace(*edited, shown)))
                    break;
            return edited;
        });
    if (changes.windows)
        windows_.stale = true;
    else if (changes.focusedWindow)
        editLocked(windows_, [&](const Windows& windows) {
            return withFocusedWindow(windows, *changes.focusedWindow);
        });
}

bool CompositorSession::isReachable() {
    std::lock_guard lock(mutex_);
    return compositor_->isReachable();
}

bool CompositorSession::focusWorkspace(SpaceId id) {
    std::lock_guard lock(mutex_);
    const bool done = compositor_->focusWorkspace(id);
    // Whatever the answer, the shown workspace is asked again next time.
    outputs_.stale = true;
    return done;
}

bool CompositorSession::closeWindows(const std::vector<std::int64_t>& ids) {
    std::lock_guard lock(mutex_);
    bool all = true;
    for (const auto id : ids)
        all = compositor_->closeWindow(id) && all;
    windows_.stale = true;
    return all;
}

WindowMoveResult CompositorSession::moveWindows(std::int32_t pid, SpaceId from, SpaceId to) {
    const auto windows = freshWindows();
    if (!windows)
        return {.refused = 1};
    std::lock_guard lock(mutex_);
    WindowMoveResult result;
    for (const auto& window : *windows) {
        if (window.pid != pid || window.workspace != from || from == to)
            continue;
        if (window.sticky)
            ++result.leftAlone;
        else
            ++(compositor_->moveWindow(window.id, to) ? result.requested : result.refused);
    }
    windows_.stale = true;
    return result;
}

std::unique_ptr<CompositorEvents> CompositorSession::subscribe() {
    std::lock_guard lock(mutex_);
    return compositor_->subscribe();
}

} // namespace tidemark::linux_platform::wayland
