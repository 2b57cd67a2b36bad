#include "platform/linux/wayland/NiriCompositor.h"

#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/wayland/NiriReplies.h"
#include "platform/linux/wayland/SocketExchange.h"

namespace tidemark::linux_platform::wayland {

namespace {

constexpr int kReplyTimeoutMs = 500;

class NiriEvents final : public CompositorEvents {
public:
    explicit NiriEvents(std::unique_ptr<LineStream> stream) : stream_(std::move(stream)) {}

    int fd() const override { return stream_->fd(); }
    bool ended() const override { return stream_->ended(); }
    TableChanges take() override {
        TableChanges changes;
        for (const auto& line : stream_->takeLines())
            changes |= niri::eventChanges(line);
        return changes;
    }

private:
    std::unique_ptr<LineStream> stream_;
};

} // namespace

std::optional<nlohmann::json> NiriCompositor::ask(std::string_view request) {
    const auto answer = exchange(socketPath_, request, ReplyEnd::Newline);
    if (!answer)
        return std::nullopt;
    return i3::parseReplyPayload(*answer);
}

std::optional<Outputs> NiriCompositor::readOutputs() {
    const auto reply = ask(niri::kWorkspacesRequest);
    const auto workspaces = reply ? niri::okPayload(*reply, "Workspaces") : std::nullopt;
    if (!workspaces)
        return std::nullopt;
    return niri::outputs(*workspaces);
}

std::optional<Windows> NiriCompositor::readWindows() {
    const auto reply = ask(niri::kWindowsRequest);
    const auto windows = reply ? niri::okPayload(*reply, "Windows") : std::nullopt;
    if (!windows)
        return std::nullopt;
    return niri::windows(*windows);
}

bool NiriCompositor::isReachable() {
    const auto reply = ask(niri::kVersionRequest);
    return reply && niri::okPayload(*reply, "Version");
}

bool NiriCompositor::focusWorkspace(SpaceId id) {
    const auto reply = ask(niri::focusWorkspaceRequest(id));
    return reply && niri::handled(*reply);
}

bool NiriCompositor::closeWindow(std::int64_t id) {
    const auto reply = ask(niri::closeWindowRequest(id));
    return reply && niri::handled(*reply);
}

bool NiriCompositor::moveWindow(std::int64_t id, SpaceId to) {
    const auto reply = ask(niri::moveWindowRequest(id, to));
    return reply && niri::handled(*reply);
}

std::unique_ptr<CompositorEvents> NiriCompositor::subscribe() {
    auto stream = LineStream::open(socketPath_, niri::kEventStreamRequest, kReplyTimeoutMs);
    if (!stream)
        return nullptr;
    const auto answer = stream->awaitLine(kReplyTimeoutMs);
    const auto reply = answer ? i3::parseReplyPayload(*answer) : std::nullopt;
    if (!reply || !niri::handled(*reply))
        return nullptr;
    return std::make_unique<NiriEvents>(std::move(stream));
}

} // namespace tidemark::linux_platform::wayland
