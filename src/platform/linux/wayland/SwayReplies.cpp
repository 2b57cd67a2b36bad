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

// A view's own facts; its place and state are the tree's.
std::optional<WindowEntry> viewEntry(const json& node) {
    const auto id = member::integer(node, "id");
    if (!id)
        return std::nullopt;
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
    return window;
}

// A window event's members that `viewEntry` reads, and a workspace event's that
// `shownWorkspace` reads: a workspace event carries both workspaces' trees, which are skipped.
constexpr std::string_view kWindowEventMembers[] = {
    "container", "id", "shell", "pid", "app_id", "window_properties", "class", "instance"};
constexpr std::string_view kWorkspaceEventMembers[] = {"current", "id", "num", "name", "output"};

std::optional<WindowEntry> focusedView(std::string_view payload) {
    const auto event = i3::parseReplyPayload(payload, kWindowEventMembers);
    const auto* container = event ? member::member(*event, "container") : nullptr;
    if (!container || !isView(*container))
        return std::nullopt;
    auto window = viewEntry(*container);
    if (window)
        window->focused = true;
    return window;
}

std::optional<ShownWorkspace> shownWorkspace(std::string_view payload) {
    const auto event = i3::parseReplyPayload(payload, kWorkspaceEventMembers);
    const auto* current = event ? member::member(*event, "current") : nullptr;
    if (!current)
        return std::nullopt;
    auto output = member::string(*current, "output");
    const auto id = member::integer(*current, "id");
    const auto name = member::string(*current, "name");
    if (!output || !id || !name)
        return std::nullopt;
    // Numbered and named as `outputs` reads them from the list.
    auto label = desktop::i3WorkspaceLabel(member::integer(*current, "num"), *name);
    return ShownWorkspace{std::move(*output),
                          {.id = *id,
                           .number = label.number,
                           .name = std::move(label.name),
                           .visible = true,
                           .focused = true}};
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
        auto window = viewEntry(*found.node);
        if (!window)
            continue;
        window->workspace = found.workspace;
        window->sticky = found.sticky && !found.scratchpad;
        window->fullScreen = found.fullScreen && !found.scratchpad;
        window->focused = member::flag(*found.node, "focused");
        result.push_back(std::move(*window));
    }
    return result;
}

TableChanges eventChanges(i3::EventType type, std::string_view payload) {
    switch (type) {
    case i3::EventType::Workspace:
        if (i3::eventChange(payload) == "focus")
            if (auto shown = shownWorkspace(payload))
                return {.shownWorkspaces = {std::move(*shown)}};
        return {.workspaces = true};
    case i3::EventType::Output:
        return {.outputs = true};
    case i3::EventType::Window: {
        const auto change = i3::eventChange(payload);
        if (change == "title" || change == "mark" || change == "urgent")
            return {};
        if (change == "focus")
            if (auto window = focusedView(payload))
                return {.focusedWindow = std::move(*window)};
        return {.windows = true};
    }
    case i3::EventType::Shutdown:
        break;
    }
    return {};
}

} // namespace tidemark::linux_platform::wayland::sway
