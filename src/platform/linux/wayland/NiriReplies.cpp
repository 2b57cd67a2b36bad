#include "platform/linux/wayland/NiriReplies.h"

#include "platform/linux/JsonMembers.h"

#include <algorithm>
#include <array>
#include <map>

namespace tidemark::linux_platform::wayland::niri {

namespace {

using nlohmann::json;
namespace member = json_members;

// niri's ids are unsigned; one that does not fit names nothing here.
std::optional<std::int64_t> id(const json& object, const char* key) {
    const auto value = member::integer(object, key);
    const auto* raw = member::member(object, key);
    if (!value || *value < 0 ||
        (raw->is_number_unsigned() && raw->get<std::uint64_t>() > std::uint64_t(INT64_MAX)))
        return std::nullopt;
    return value;
}

// The name of an event line: the key its object opens with.
std::string_view eventName(std::string_view line) {
    const auto brace = line.find_first_not_of(" \t");
    if (brace == std::string_view::npos || line[brace] != '{')
        return {};
    const auto quote = line.find_first_not_of(" \t\r\n", brace + 1);
    if (quote == std::string_view::npos || line[quote] != '"')
        return {};
    const auto end = line.find('"', quote + 1);
    if (end == std::string_view::npos)
        return {};
    return line.substr(quote + 1, end - quote - 1);
}

} // namespace

std::string focusWorkspaceRequest(SpaceId workspace) {
    return json{{"Action", {{"FocusWorkspace", {{"reference", {{"Id", workspace}}}}}}}}.dump() +
           "\n";
}

std::string closeWindowRequest(std::int64_t window) {
    return json{{"Action", {{"CloseWindow", {{"id", window}}}}}}.dump() + "\n";
}

std::string moveWindowRequest(std::int64_t window, SpaceId workspace) {
    return json{{"Action",
                 {{"MoveWindowToWorkspace",
                   {{"window_id", window}, {"reference", {{"Id", workspace}}}, {"focus", false}}}}}}
               .dump() +
           "\n";
}

std::optional<json> okPayload(const json& reply, const char* kind) {
    const auto* ok = member::member(reply, "Ok");
    const auto* payload = ok ? member::member(*ok, kind) : nullptr;
    if (!payload)
        return std::nullopt;
    return *payload;
}

bool handled(const json& reply) {
    const auto* ok = member::member(reply, "Ok");
    return ok && ok->is_string() && ok->get_ref<const std::string&>() == "Handled";
}

Outputs outputs(const json& workspaces, bool* truncated) {
    bool cut = false;
    const auto list = member::cappedItems(workspaces, cut);
    if (truncated)
        *truncated = cut;
    std::map<std::string, std::vector<std::pair<std::int64_t, WorkspaceEntry>>> byOutput;
    for (const auto& workspace : list) {
        const auto workspaceId = id(workspace, "id");
        const auto output = member::string(workspace, "output");
        if (!workspaceId || !output)
            continue;
        const auto index = member::integer(workspace, "idx");
        WorkspaceEntry entry{.id = *workspaceId, .number = index};
        if (const auto name = member::string(workspace, "name"))
            entry.name = text::boundedName(*name, desktop::kMaxNameBytes);
        entry.visible = member::flag(workspace, "is_active");
        entry.focused = member::flag(workspace, "is_focused");
        entry.urgent = member::flag(workspace, "is_urgent");
        byOutput[*output].emplace_back(index.value_or(INT64_MAX), std::move(entry));
    }
    Outputs result;
    for (auto& [name, entries] : byOutput) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        OutputEntry output{name, {}};
        for (auto& [index, entry] : entries)
            output.workspaces.push_back(std::move(entry));
        result.push_back(std::move(output));
    }
    return result;
}

Windows windows(const json& list, bool* truncated) {
    bool cut = false;
    const auto items = member::cappedItems(list, cut);
    if (truncated)
        *truncated = cut;
    Windows result;
    for (const auto& item : items) {
        const auto windowId = id(item, "id");
        if (!windowId)
            continue;
        WindowEntry window{.id = *windowId};
        if (const auto pid = member::integer(item, "pid"); pid && *pid > 0 && *pid <= INT32_MAX)
            window.pid = static_cast<std::int32_t>(*pid);
        window.appId = member::string(item, "app_id").value_or("");
        window.workspace = id(item, "workspace_id");
        window.focused = member::flag(item, "is_focused");
        result.push_back(std::move(window));
    }
    return result;
}

TableChanges eventChanges(std::string_view line) {
    const auto name = eventName(line);
    static constexpr std::array<std::string_view, 3> kWorkspaceEvents{
        "WorkspacesChanged", "WorkspaceActivated", "WorkspaceUrgencyChanged"};
    static constexpr std::array<std::string_view, 4> kWindowEvents{
        "WindowsChanged", "WindowOpenedOrChanged", "WindowClosed", "WindowFocusChanged"};
    if (std::find(kWorkspaceEvents.begin(), kWorkspaceEvents.end(), name) != kWorkspaceEvents.end())
        return {.workspaces = true};
    if (std::find(kWindowEvents.begin(), kWindowEvents.end(), name) != kWindowEvents.end())
        return {.windows = true};
    return {};
}

} // namespace tidemark::linux_platform::wayland::niri
