#include "platform/linux/wayland/SwayCompositor.h"

#include "platform/linux/DesktopLimits.h"
#include "platform/linux/JsonMembers.h"
#include "platform/linux/i3/I3WorkspaceSwitch.h"
#include "platform/linux/session/JournalLog.h"
#include "platform/linux/wayland/SwayReplies.h"

namespace tidemark::linux_platform::wayland {

namespace {

class SwayEvents final : public CompositorEvents {
public:
    explicit SwayEvents(std::unique_ptr<i3::Connection> connection)
        : connection_(std::move(connection)) {}

    int fd() const override { return connection_->fd(); }
    bool ended() const override { return connection_->isBroken(); }
    TableChanges take() override {
        TableChanges changes;
        for (const auto& message : connection_->readAvailable())
            if (message.isEvent())
                changes |= sway::eventChanges(static_cast<i3::EventType>(message.eventType()),
                                              message.payload);
        return changes;
    }

private:
    std::unique_ptr<i3::Connection> connection_;
};

} // namespace

SwayCompositor::SwayCompositor(std::string socketPath)
    : socketPath_(std::move(socketPath)),
      // The session names sway's socket; $I3SOCK may name another program's.
      client_([this]() -> std::optional<std::string> { return socketPath_; },
              [](const std::string& path) { return i3::Connection::open(path); }) {}

void SwayCompositor::noteTruncated(bool truncated) {
    if (!truncated || reportedTruncation_)
        return;
    reportedTruncation_ = true;
    JournalLog().error("sway", "ipc",
                       "sway lists more than " + std::to_string(desktop::kMaxDesktopItems) +
                           " outputs, workspaces or windows; the rest are ignored");
}

std::optional<Outputs> SwayCompositor::readOutputs() {
    const auto outputs = client_.request(i3::MessageType::GetOutputs);
    if (!outputs)
        return std::nullopt;
    const auto workspaces = client_.request(i3::MessageType::GetWorkspaces);
    if (!workspaces)
        return std::nullopt;
    bool truncated = false;
    auto result = sway::outputs(*workspaces, *outputs, &truncated);
    noteTruncated(truncated);
    return result;
}

std::optional<Windows> SwayCompositor::readWindows() {
    const auto tree = client_.request(i3::MessageType::GetTree, {}, sway::kTreeMembers);
    if (!tree)
        return std::nullopt;
    bool truncated = false;
    auto result = sway::windows(*tree, &truncated);
    noteTruncated(truncated);
    return result;
}

bool SwayCompositor::isReachable() {
    return client_.request(i3::MessageType::GetVersion).has_value();
}

bool SwayCompositor::focusWorkspace(SpaceId id) {
    // Read afresh: a workspace renamed since the last answer would otherwise be made anew
    // under its old name.
    const auto workspaces = client_.request(i3::MessageType::GetWorkspaces);
    if (!workspaces)
        return false;
    const auto command = i3::workspaceSwitchCommand(*workspaces, id);
    if (!command)
        return false;
    const auto reply = client_.request(i3::MessageType::RunCommand, *command);
    return reply && i3::commandsSucceeded(*reply);
}

bool SwayCompositor::closeWindow(std::int64_t id) {
    const auto reply =
        client_.request(i3::MessageType::RunCommand, "[con_id=" + std::to_string(id) + "] kill");
    return reply && i3::commandsSucceeded(*reply);
}

bool SwayCompositor::moveWindow(std::int64_t id, SpaceId to) {
    const auto workspaces = client_.request(i3::MessageType::GetWorkspaces);
    const auto command = workspaces ? i3::windowMoveCommand(*workspaces, id, to) : std::nullopt;
    const auto reply = command ? client_.request(i3::MessageType::RunCommand, *command)
                               : std::optional<nlohmann::json>();
    return reply && i3::commandsSucceeded(*reply);
}

std::unique_ptr<CompositorEvents> SwayCompositor::subscribe() {
    auto connection = i3::Connection::open(socketPath_);
    if (!connection)
        return nullptr;
    // Output events came with sway 1.8; before, refusing them refuses the whole request.
    for (const char* events : {R"(["workspace","output","window","shutdown"])",
                               R"(["workspace","window","shutdown"])"}) {
        const auto reply = connection->request(i3::MessageType::Subscribe, events);
        if (!reply)
            return nullptr;
        if (json_members::flag(*reply, "success"))
            return std::make_unique<SwayEvents>(std::move(connection));
    }
    return nullptr;
}

} // namespace tidemark::linux_platform::wayland
