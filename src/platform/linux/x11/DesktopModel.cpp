#include "platform/linux/x11/DesktopModel.h"

#include "foundation/Text.h"
#include "platform/linux/JsonMembers.h"
#include "platform/linux/i3/I3Replies.h"

#include <algorithm>
#include <set>

namespace tidemark::linux_platform::desktop {

namespace {

using nlohmann::json;

DisplaySpace desktopSpace(SpaceId id) {
    DisplaySpace space;
    space.id = id;
    return space;
}

} // namespace

std::vector<Display> i3DisplaySpaces(const json& workspaces, const json& outputs, bool* truncated) {
    std::vector<Display> displays;
    for (const auto& output : i3::outputWorkspaces(workspaces, outputs, truncated)) {
        Display display;
        display.identifier = output.name;
        std::optional<SpaceId> current;
        for (const auto& workspace : output.workspaces) {
            auto space = desktopSpace(workspace.id);
            const auto label = i3WorkspaceLabel(workspace.num, workspace.name);
            space.wmNumber = label.number;
            space.wmName = label.name;
            space.isUrgent = workspace.urgent;
            display.spaces.push_back(std::move(space));
            if (!current && workspace.visible)
                current = workspace.id;
        }
        if (!current)
            continue;
        display.currentSpace = *current;
        displays.push_back(std::move(display));
    }
    return displays;
}

I3Tree i3Tree(const json& tree, bool* truncated) {
    const auto read = i3::treeWindows(
        tree, [](const json& node) { return json_members::integer(node, "window").has_value(); },
        truncated);
    I3Tree result;
    result.workspaces = read.workspaces;
    for (const auto& found : read.windows) {
        const auto window = *json_members::integer(*found.node, "window");
        if (found.fullScreen && !found.scratchpad) {
            result.fullScreen.insert(window);
            if (json_members::integer(*found.node, "fullscreen_mode").value_or(0) <= 0)
                result.fullScreenAboveWindows = true;
        }
        if (found.sticky && !found.scratchpad)
            result.stickyWindows.insert(window);
        else
            result.windowSpaces[window].push_back(found.workspace);
    }
    for (const auto window : result.stickyWindows)
        result.windowSpaces[window] = read.workspaces;
    result.fullScreenWindows = i3FullScreenWindows(result);
    return result;
}

std::map<SpaceId, std::int64_t> i3FullScreenWindows(const I3Tree& tree) {
    std::vector<SpaceWindow> windows;
    windows.reserve(tree.windowSpaces.size());
    for (const auto& [window, onSpaces] : tree.windowSpaces)
        windows.push_back({window, onSpaces, tree.fullScreen.contains(window)});
    return fullScreenSpaces(windows);
}

namespace {

i3::TreeWindows xWindows(const json& tree) {
    return i3::treeWindows(
        tree, [](const json& node) { return json_members::integer(node, "window").has_value(); });
}

} // namespace

std::vector<std::int64_t> i3WindowsOn(const json& tree, SpaceId from) {
    std::vector<std::int64_t> windows;
    for (const auto& found : xWindows(tree).windows)
        if (found.workspace == from && !found.scratchpad)
            windows.push_back(*json_members::integer(*found.node, "window"));
    return windows;
}

MovePlan i3MovePlan(const json& tree, SpaceId from, std::int32_t pid,
                    const std::map<std::int64_t, std::int32_t>& owners) {
    MovePlan plan;
    for (const auto& found : xWindows(tree).windows) {
        if (found.workspace != from || found.scratchpad)
            continue;
        const auto owner = owners.find(*json_members::integer(*found.node, "window"));
        const auto container = json_members::integer(*found.node, "id");
        if (owner == owners.end() || owner->second != pid || !container)
            continue;
        if (found.sticky)
            ++plan.leftAlone;
        else
            plan.windows.push_back(*container);
    }
    return plan;
}

MovePlan ewmhMovePlan(const std::vector<DesktopWindow>& windows, std::int32_t pid,
                      std::uint32_t from) {
    MovePlan plan;
    for (const auto& window : windows) {
        if (window.pid != pid)
            continue;
        if (window.sticky || window.desktop == kAllDesktops)
            ++plan.leftAlone;
        else if (window.desktop == from)
            plan.windows.push_back(window.window);
    }
    return plan;
}

WmLabel i3WorkspaceLabel(std::optional<std::int64_t> num, std::string_view name) {
    const auto trimmed = [](std::string_view text) -> std::optional<std::string> {
        const auto first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos)
            return std::nullopt;
        return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
    };
    if (!num || *num < 0)
        return {std::nullopt, trimmed(name)};
    // i3 reads the number from the name's leading digits, after any blanks.
    const auto digits = name.find_first_not_of(" \t");
    const auto end = name.find_first_not_of("0123456789", digits);
    if (digits == std::string_view::npos || end == digits)
        return {num, trimmed(name)};
    if (end == std::string_view::npos)
        return {num, std::nullopt};
    if (name[end] == ':')
        return {num, trimmed(name.substr(end + 1))};
    return {num, trimmed(name)};
}

std::map<SpaceId, std::int64_t> fullScreenSpaces(const std::vector<SpaceWindow>& windows) {
    std::map<SpaceId, std::size_t> counts;
    for (const auto& window : windows)
        for (const auto space : window.spaces)
            ++counts[space];
    std::map<SpaceId, std::int64_t> result;
    for (const auto& window : windows)
        if (window.fullScreen)
            for (const auto space : window.spaces)
                if (counts[space] == 1)
                    result.emplace(space, window.window);
    return result;
}

void markFullScreen(std::vector<Display>& displays,
                    const std::map<SpaceId, std::optional<std::int32_t>>& owners) {
    for (auto& display : displays)
        for (auto& space : display.spaces)
            if (const auto it = owners.find(space.id); it != owners.end()) {
                space.kind = SpaceKind::FullScreen;
                space.fullScreenOwner = it->second;
            }
}

void markUrgent(std::vector<Display>& displays, const std::vector<SpaceWindow>& windows) {
    std::set<SpaceId> urgent;
    for (const auto& window : windows)
        if (window.urgent)
            urgent.insert(window.spaces.begin(), window.spaces.end());
    for (auto& display : displays)
        for (auto& space : display.spaces)
            space.isUrgent = urgent.contains(space.id);
}

std::vector<Display> ewmhDisplaySpaces(const std::string& displayID, std::uint32_t desktopCount,
                                       std::optional<std::uint32_t> currentDesktop,
                                       const std::vector<std::optional<std::string>>& names) {
    if (!currentDesktop || *currentDesktop >= desktopCount)
        return {};
    Display display;
    display.identifier = displayID;
    display.currentSpace = std::int64_t{*currentDesktop} + 1;
    for (std::uint32_t i = 0; i < desktopCount; ++i) {
        auto space = desktopSpace(std::int64_t{i} + 1);
        space.wmNumber = space.id;
        if (i < names.size())
            space.wmName = names[i];
        display.spaces.push_back(std::move(space));
    }
    return {std::move(display)};
}

std::vector<std::optional<std::string>> ewmhDesktopNames(std::string_view bytes, bool cut) {
    std::vector<std::optional<std::string>> names;
    while (!bytes.empty() && names.size() < kMaxDesktopItems) {
        const auto nul = bytes.find('\0');
        if (nul == std::string_view::npos && cut)
            break;
        const auto entry = bytes.substr(0, nul);
        names.push_back(entry.empty() ? std::nullopt
                                      : std::optional(text::boundedName(entry, kMaxNameBytes)));
        bytes = nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1);
    }
    return names;
}

std::vector<std::int64_t> ewmhSpacesOfDesktop(std::uint32_t desktop, std::uint32_t desktopCount) {
    std::vector<std::int64_t> result;
    if (desktop == kAllDesktops) {
        for (std::uint32_t i = 0; i < desktopCount; ++i)
            result.push_back(std::int64_t{i} + 1);
    } else if (desktop < desktopCount) {
        result.push_back(std::int64_t{desktop} + 1);
    }
    return result;
}

} // namespace tidemark::linux_platform::desktop
