#include "platform/linux/wayland/SwayReplies.h"

#include "platform/linux/JsonMembers.h"
#include "platform/linux/i3/I3Replies.h"
#include "platform/linux/x11/DesktopModel.h"

namespace tidemark::linux_platform::wayland::sway {

namespace {

using nlohmann::json;
namespace member = json_members;

// A view carries its shell ("xdg_shell", "xwayland") and its client's pid; a container that
// only arranges others has neither.
bool isView(const json& node) {
    return member::string(node, "shell").has_value() || member::integer(node, "pid").has_value();
}

} // namespace

Outputs outputs(const json& workspaces, const json& outputList, bool* truncated) {
    Outputs result;
    for (auto& output : i3::outputWorkspaces(workspaces, outputList, truncated)) {
        OutputEntry entry{std::move(output.name), {}};
        for (const auto& workspace : output.workspaces) {
            auto label = desktop::i3WorkspaceLabel(workspace.num, workspace.name);
            entry.workspaces.push_back({.id = workspace.id,
                                        .number = label.number,
                                        .name = std::move(label.name),
                                        .visible = workspace.visible,
                                        .focused = workspace.focused,
                                        .urgent = workspace.urgent});
        }
        result.push_back(std::move(entry));
    }
    return result;
}

Windows windows(const json& tree, bool* truncated) {
    Windows result;
    for (const auto& found : i3::treeWindows(tree, isView, truncated).windows) {
        const json& node = *found.node;
        const auto id = member::integer(node, "id");
        if (!id)
            continue;
        WindowEntry window;
        window.id = *id;
        if (const auto pid = member::integer(node, "pid"); pid && *pid > 0 && *pid <= INT32_MAX)
            window.pid = static_cast<std::int32_t>(*pid);
        if (auto appId = member::string(node, "app_id")) {
            window.appId = std::move(*appId);
        } else if (const auto* properties = member::member(node, "window_properties")) {
            window.appId = member::string(*properties, "class").value_or("");
            window.instance = member::string(*properties, "instance").value_or("");
        }
        window.workspace = found.workspace;
        window.sticky = found.sticky && !found.scratchpad;
        window.fullScreen = found.fullScreen && !found.scratchpad;
        window.focused = member::flag(node, "focused");
        result.push_back(std::move(window));
    }
    return result;
}

TableChanges eventChanges(i3::EventType type, const std::optional<std::string>& change) {
    switch (type) {
    case i3::EventType::Workspace:
        return {.workspaces = true};
    case i3::EventType::Output:
        return {.outputs = true};
    case i3::EventType::Window:
        if (change == "title" || change == "mark" || change == "urgent")
            return {};
        return {.windows = true};
    case i3::EventType::Shutdown:
        break;
    }
    return {};
}

} // namespace tidemark::linux_platform::wayland::sway
