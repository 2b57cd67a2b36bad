#include "platform/linux/wayland/HyprlandCompositor.h"

#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/wayland/SocketExchange.h"

#include <filesystem>

namespace tidemark::linux_platform::wayland {

namespace {

class HyprlandEvents final : public CompositorEvents {
public:
    explicit HyprlandEvents(std::unique_ptr<LineStream> stream) : stream_(std::move(stream)) {}

    int fd() const override { return stream_->fd(); }
    bool ended() const override { return stream_->ended(); }
    TableChanges take() override {
        TableChanges changes;
        for (const auto& line : stream_->takeLines())
            changes |= hyprland::eventChanges(line);
        return changes;
    }

private:
    std::unique_ptr<LineStream> stream_;
};

} // namespace

std::optional<hyprland::SocketPaths> HyprlandCompositor::locate(std::string_view runtimeDir,
                                                                std::string_view signature) {
    for (auto& paths : hyprland::socketCandidates(runtimeDir, signature)) {
        std::error_code error;
        if (std::filesystem::exists(paths.requests, error))
            return std::move(paths);
    }
    return std::nullopt;
}

std::optional<nlohmann::json> HyprlandCompositor::ask(std::string_view request) {
    const auto answer = exchange(paths_.requests, request, ReplyEnd::Close);
    if (!answer)
        return std::nullopt;
    // Window titles are copied into the answer as they are.
    return i3::parseReplyPayload(*answer);
}

bool HyprlandCompositor::dispatch(const std::string& request) {
    const auto answer = exchange(paths_.requests, request, ReplyEnd::Close);
    return answer && answer->substr(0, answer->find_last_not_of(" \n") + 1) == "ok";
}

std::optional<Outputs> HyprlandCompositor::readOutputs() {
    const auto monitors = ask("j/monitors");
    if (!monitors)
        return std::nullopt;
    const auto workspaces = ask("j/workspaces");
    if (!workspaces)
        return std::nullopt;
    return hyprland::outputs(*monitors, *workspaces);
}

std::optional<Windows> HyprlandCompositor::readWindows() {
    const auto clients = ask("j/clients");
    if (!clients)
        return std::nullopt;
    return hyprland::windows(*clients);
}

bool HyprlandCompositor::isReachable() {
    return ask("j/version").has_value();
}

bool HyprlandCompositor::focusWorkspace(SpaceId id) {
    // Read afresh: a named workspace is asked for by its name as it is now.
    const auto workspaces = ask("j/workspaces");
    if (!workspaces)
        return false;
    const auto request = hyprland::switchRequest(*workspaces, id);
    return request && dispatch(*request);
}

bool HyprlandCompositor::closeWindow(std::int64_t id) {
    return dispatch(hyprland::closeRequest(id));
}

bool HyprlandCompositor::moveWindow(std::int64_t id, SpaceId to) {
    const auto workspaces = ask("j/workspaces");
    const auto request = workspaces ? hyprland::moveRequest(*workspaces, id, to) : std::nullopt;
    return request && dispatch(*request);
}

std::unique_ptr<CompositorEvents> HyprlandCompositor::subscribe() {
    auto stream = LineStream::open(paths_.events, {});
    if (!stream)
        return nullptr;
    return std::make_unique<HyprlandEvents>(std::move(stream));
}

} // namespace tidemark::linux_platform::wayland
