#include "platform/linux/wayland/HyprlandReplies.h"

#include "platform/linux/JsonMembers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace tidemark::linux_platform::wayland::hyprland {

namespace {

using nlohmann::json;
namespace member = json_members;

bool isSpecial(std::string_view name) {
    return name == "special" || name.starts_with("special:");
}

// "0x55d0c1a2b3c0", as Hyprland prints window addresses.
std::optional<std::int64_t> address(const json& client) {
    const auto text = member::string(client, "address");
    if (!text || !text->starts_with("0x") || text->size() == 2)
        return std::nullopt;
    std::uint64_t value = 0;
    const char* end = text->data() + text->size();
    const auto [last, error] = std::from_chars(text->data() + 2, end, value, 16);
    if (error != std::errc() || last != end || value > std::uint64_t(INT64_MAX))
        return std::nullopt;
    return static_cast<std::int64_t>(value);
}

bool isFullScreen(const json& client) {
    const auto* fullscreen = member::member(client, "fullscreen");
    if (!fullscreen)
        return false;
    // Before 0.42 a flag, with a mode of 1 for a maximised window.
    if (fullscreen->is_boolean())
        return fullscreen->get<bool>() &&
               member::integer(client, "fullscreenMode").value_or(0) != 1;
    // Since, a mask of maximised (1) and full screen (2).
    return fullscreen->is_number_integer() && (fullscreen->get<std::int64_t>() & 2) != 0;
}

} // namespace

std::vector<SocketPaths> socketCandidates(std::string_view runtimeDir, std::string_view signature) {
    if (signature.empty() || signature == "." || signature == ".." ||
        signature.find('/') != std::string_view::npos)
        return {};
    std::vector<SocketPaths> result;
    const auto in = [&](std::string folder) {
        folder += "/hypr/" + std::string(signature) + "/";
        result.push_back({folder + ".socket.sock", folder + ".socket2.sock"});
    };
    if (!runtimeDir.empty())
        in(std::string(runtimeDir));
    in("/tmp");
    return result;
}

Outputs outputs(const json& monitors, const json& workspaces, bool* truncated) {
    bool cut = false;
    const auto monitorList = member::cappedItems(monitors, cut);
    const auto workspaceList = member::cappedItems(workspaces, cut);
    if (truncated)
        *truncated = cut;
    Outputs result;
    for (const auto& monitor : monitorList) {
        const auto name = member::string(monitor, "name");
        if (!name || member::flag(monitor, "disabled"))
            continue;
        const auto* active = member::member(monitor, "activeWorkspace");
        const auto shown = active ? member::integer(*active, "id") : std::nullopt;
        const bool focusedMonitor = member::flag(monitor, "focused");
        OutputEntry output{*name, {}};
        for (const auto& workspace : workspaceList) {
            const auto id = member::integer(workspace, "id");
            const auto workspaceName = member::string(workspace, "name").value_or("");
            if (!id || member::string(workspace, "monitor") != name || isSpecial(workspaceName))
                continue;
            WorkspaceEntry entry{.id = *id};
            if (*id > 0) {
                entry.number = *id;
                if (workspaceName != std::to_string(*id) && !workspaceName.empty())
                    entry.name = text::boundedName(workspaceName, desktop::kMaxNameBytes);
            } else if (!workspaceName.empty()) {
                entry.name = text::boundedName(workspaceName, desktop::kMaxNameBytes);
            }
            entry.visible = *id == shown;
            entry.focused = entry.visible && focusedMonitor;
            output.workspaces.push_back(std::move(entry));
        }
        // Numbered first, by number; then named, the oldest (highest id) first.
        std::stable_sort(output.workspaces.begin(), output.workspaces.end(),
                         [](const WorkspaceEntry& a, const WorkspaceEntry& b) {
                             if ((a.id > 0) != (b.id > 0))
                                 return a.id > 0;
                             return a.id > 0 ? a.id < b.id : a.id > b.id;
                         });
        result.push_back(std::move(output));
    }
    return result;
}

Windows windows(const json& clients, bool* truncated) {
    bool cut = false;
    const auto list = member::cappedItems(clients, cut);
    if (truncated)
        *truncated = cut;
    Windows result;
    for (const auto& client : list) {
        const auto id = address(client);
        // Windows on their way in or out are not shown.
        const auto* mapped = member::member(client, "mapped");
        if (!id || (mapped && !member::flag(client, "mapped")))
            continue;
        WindowEntry window{.id = *id};
        if (const auto pid = member::integer(client, "pid"); pid && *pid > 0 && *pid <= INT32_MAX)
            window.pid = static_cast<std::int32_t>(*pid);
        window.appId = member::string(client, "class").value_or("");
        if (window.appId.empty())
            window.appId = member::string(client, "initialClass").value_or("");
        if (const auto* workspace = member::member(client, "workspace"))
            // -1 is none.
            if (const auto workspaceId = member::integer(*workspace, "id");
                workspaceId && *workspaceId != -1)
                window.workspace = workspaceId;
        window.sticky = member::flag(client, "pinned");
        window.fullScreen = isFullScreen(client);
        window.focused = member::integer(client, "focusHistoryID") == 0;
        result.push_back(std::move(window));
    }
    return result;
}

std::optional<std::string> switchRequest(const json& workspaces, SpaceId id) {
    if (!workspaces.is_array())
        return std::nullopt;
    for (const auto& workspace : workspaces) {
        if (member::integer(workspace, "id") != id)
            continue;
        if (id > 0)
            return "dispatch workspace " + std::to_string(id);
        const auto name = member::string(workspace, "name", 1024);
        // The request is one line of text, and a name is taken to its end.
        if (!name || name->empty() ||
            std::any_of(name->begin(), name->end(), [](char c) { return c >= 0 && c < 0x20; }))
            return std::nullopt;
        return "dispatch workspace name:" + *name;
    }
    return std::nullopt;
}

namespace {

std::string windowAddress(std::int64_t id) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(id));
    return std::string("address:0x") + hex;
}

} // namespace

std::string closeRequest(std::int64_t id) {
    return "dispatch closewindow " + windowAddress(id);
}

std::optional<std::string> moveRequest(const json& workspaces, std::int64_t id, SpaceId to) {
    const auto target = switchRequest(workspaces, to);
    const std::string_view lead = "dispatch workspace ";
    // The window follows a comma, so a name holding one would be cut there.
    if (!target || !target->starts_with(lead) || target->find(',') != std::string::npos)
        return std::nullopt;
    return "dispatch movetoworkspacesilent " + target->substr(lead.size()) + "," +
           windowAddress(id);
}

TableChanges eventChanges(std::string_view line) {
    const auto name = line.substr(0, line.find(">>"));
    static constexpr std::array<std::string_view, 13> kWorkspaceEvents{
        "workspace",       "workspacev2",       "focusedmon",       "focusedmonv2",
        "createworkspace", "createworkspacev2", "destroyworkspace", "destroyworkspacev2",
        "moveworkspace",   "moveworkspacev2",   "renameworkspace",  "activespecial",
        "activespecialv2"};
    static constexpr std::array<std::string_view, 4> kOutputEvents{
        "monitoradded", "monitoraddedv2", "monitorremoved", "monitorremovedv2"};
    static constexpr std::array<std::string_view, 10> kWindowEvents{
        "openwindow",     "closewindow", "movewindow",         "movewindowv2", "activewindow",
        "activewindowv2", "fullscreen",  "changefloatingmode", "pin",          "minimized"};
    const auto among = [&](const auto& names) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    if (among(kWorkspaceEvents))
        return {.workspaces = true};
    if (among(kOutputEvents))
        return {.outputs = true};
    if (among(kWindowEvents))
        return {.windows = true};
    return {};
}

} // namespace tidemark::linux_platform::wayland::hyprland
