#include "platform/linux/x11/DesktopModel.h"

#include "foundation/Text.h"

#include <algorithm>
#include <set>
#include <span>

namespace tidemark::linux_platform::desktop {

namespace {

using nlohmann::json;

constexpr std::size_t kMaxNameBytes = 256;
constexpr int kMaxTreeDepth = 200;

std::optional<std::int64_t> integerMember(const json& object, const char* key) {
    if (!object.is_object())
        return std::nullopt;
    const auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return std::nullopt;
    return it->get<std::int64_t>();
}

std::optional<std::string> stringMember(const json& object, const char* key) {
    if (!object.is_object())
        return std::nullopt;
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string())
        return std::nullopt;
    return text::boundedUtf8(it->get_ref<const std::string&>(), kMaxNameBytes);
}

bool boolMember(const json& object, const char* key) {
    if (!object.is_object())
        return false;
    const auto it = object.find(key);
    return it != object.end() && it->is_boolean() && it->get<bool>();
}

DisplaySpace desktopSpace(SpaceId id) {
    DisplaySpace space;
    space.id = id;
    return space;
}

// The first `kMaxDesktopItems` elements of an array answer, or none of anything else.
std::span<const json> cappedItems(const json& list, bool& truncated) {
    if (!list.is_array())
        return {};
    const auto& items = list.get_ref<const json::array_t&>();
    truncated = truncated || items.size() > kMaxDesktopItems;
    return std::span(items).first(std::min(items.size(), kMaxDesktopItems));
}

struct TreeWalk {
    WindowSpaces result;
    std::vector<std::int64_t> allWorkspaces;
    std::vector<std::int64_t> stickyWindows;
    std::set<std::int64_t> fullScreenWindows;
    std::size_t windowCount = 0;
    bool truncated = false;

    void visit(const json& node, std::optional<std::int64_t> workspace, bool hidden,
               bool fullScreen, int depth) {
        if (!node.is_object() || depth > kMaxTreeDepth)
            return;
        // A workspace itself always fills its output; only what is below it counts.
        if (workspace && integerMember(node, "fullscreen_mode").value_or(0) > 0)
            fullScreen = true;
        if (stringMember(node, "type") == "workspace") {
            const auto name = stringMember(node, "name");
            workspace = integerMember(node, "id");
            // The scratchpad is i3's hidden store, not a desktop: no display lists it and its
            // windows show on none, yet a window kept there is still a window of its app.
            hidden = name && name->starts_with("__");
            if (workspace && allWorkspaces.size() >= kMaxDesktopItems) {
                truncated = true;
                return;
            }
            if (workspace && !hidden)
                allWorkspaces.push_back(*workspace);
        }
        if (workspace) {
            if (const auto window = integerMember(node, "window")) {
                if (windowCount >= kMaxDesktopItems) {
                    truncated = true;
                    return;
                }
                ++windowCount;
                if (fullScreen && !hidden)
                    fullScreenWindows.insert(*window);
                if (boolMember(node, "sticky") && !hidden)
                    stickyWindows.push_back(*window);
                else
                    result[*window].push_back(*workspace);
            }
        }
        for (const char* children : {"nodes", "floating_nodes"}) {
            const auto it = node.find(children);
            if (it != node.end() && it->is_array())
                for (const auto& child : *it)
                    visit(child, workspace, hidden, fullScreen, depth + 1);
        }
    }
};

} // namespace

std::vector<Display> i3DisplaySpaces(const json& workspaces, const json& outputs, bool* truncated) {
    bool cut = false;
    const auto outputList = cappedItems(outputs, cut);
    const auto workspaceList = cappedItems(workspaces, cut);
    if (truncated)
        *truncated = cut;
    std::vector<Display> displays;
    for (const auto& output : outputList) {
        const auto name = stringMember(output, "name");
        if (!name || !boolMember(output, "active"))
            continue;
        Display display;
        display.identifier = *name;
        std::optional<SpaceId> current;
        for (const auto& workspace : workspaceList) {
            const auto id = integerMember(workspace, "id");
            if (!id || stringMember(workspace, "output") != name)
                continue;
            auto space = desktopSpace(*id);
            const auto label = i3WorkspaceLabel(
                integerMember(workspace, "num"),
                text::boundedName(stringMember(workspace, "name").value_or(""), kMaxNameBytes));
            space.wmNumber = label.number;
            space.wmName = label.name;
            space.isUrgent = boolMember(workspace, "urgent");
            display.spaces.push_back(std::move(space));
            if (!current && boolMember(workspace, "visible"))
                current = id;
        }
        if (!current)
            continue;
        display.currentSpace = *current;
        displays.push_back(std::move(display));
    }
    return displays;
}

I3Tree i3Tree(const json& tree, bool* truncated) {
    TreeWalk walk;
    walk.visit(tree, std::nullopt, false, false, 0);
    if (truncated)
        *truncated = walk.truncated;
    for (const auto window : walk.stickyWindows)
        walk.result[window] = walk.allWorkspaces;
    std::vector<SpaceWindow> windows;
    windows.reserve(walk.result.size());
    for (const auto& [window, spaces] : walk.result)
        windows.push_back({window, spaces, walk.fullScreenWindows.contains(window)});
    auto fullScreen = fullScreenSpaces(windows);
    return {std::move(walk.result), std::move(fullScreen)};
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

bool i3EventMayMoveWindows(i3::EventType type, const std::optional<std::string>& change) {
    if (!change)
        return true;
    switch (type) {
    case i3::EventType::Workspace:
        return *change != "focus" && *change != "urgent" && *change != "rename";
    case i3::EventType::Window:
        return *change != "focus" && *change != "title" && *change != "urgent" && *change != "mark";
    default:
        return true;
    }
}

} // namespace tidemark::linux_platform::desktop
