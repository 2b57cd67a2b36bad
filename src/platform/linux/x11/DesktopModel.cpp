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

ValueDictionary spaceEntry(std::int64_t id) {
    return ValueDictionary{{"ManagedSpaceID", Value(static_cast<long long>(id))}};
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
    std::size_t windowCount = 0;
    bool truncated = false;

    void visit(const json& node, std::optional<std::int64_t> workspace, bool hidden, int depth) {
        if (!node.is_object() || depth > kMaxTreeDepth)
            return;
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
                    visit(child, workspace, hidden, depth + 1);
        }
    }
};

} // namespace

Value i3DisplaySpaces(const json& workspaces, const json& outputs, bool* truncated) {
    bool cut = false;
    const auto outputList = cappedItems(outputs, cut);
    const auto workspaceList = cappedItems(workspaces, cut);
    if (truncated)
        *truncated = cut;
    ValueArray displays;
    for (const auto& output : outputList) {
        const auto name = stringMember(output, "name");
        if (!name || !boolMember(output, "active"))
            continue;
        ValueArray spaces;
        std::optional<std::int64_t> current;
        for (const auto& workspace : workspaceList) {
            const auto id = integerMember(workspace, "id");
            if (!id || stringMember(workspace, "output") != name)
                continue;
            spaces.emplace_back(spaceEntry(*id));
            if (!current && boolMember(workspace, "visible"))
                current = id;
        }
        ValueDictionary display{{"Display Identifier", Value(*name)},
                                {"Spaces", Value(std::move(spaces))}};
        if (current)
            display.emplace("Current Space", Value(spaceEntry(*current)));
        displays.emplace_back(std::move(display));
    }
    return displays;
}

WindowSpaces i3WindowSpaces(const json& tree, bool* truncated) {
    TreeWalk walk;
    walk.visit(tree, std::nullopt, false, 0);
    if (truncated)
        *truncated = walk.truncated;
    for (const auto window : walk.stickyWindows)
        walk.result[window] = walk.allWorkspaces;
    return std::move(walk.result);
}

Value ewmhDisplaySpaces(const std::string& displayID, std::uint32_t desktopCount,
                        std::optional<std::uint32_t> currentDesktop) {
    ValueArray spaces;
    for (std::uint32_t i = 0; i < desktopCount; ++i)
        spaces.emplace_back(spaceEntry(std::int64_t{i} + 1));
    ValueDictionary display{{"Display Identifier", Value(displayID)},
                            {"Spaces", Value(std::move(spaces))}};
    if (currentDesktop && *currentDesktop < desktopCount)
        display.emplace("Current Space", Value(spaceEntry(std::int64_t{*currentDesktop} + 1)));
    return ValueArray{Value(std::move(display))};
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

std::vector<std::int64_t> windowsOnSpaces(const WindowSpaces& windowSpaces,
                                          const std::vector<std::int64_t>& spaceIds) {
    const std::set<std::int64_t> wanted(spaceIds.begin(), spaceIds.end());
    std::vector<std::int64_t> result;
    for (const auto& [window, spaces] : windowSpaces)
        if (std::any_of(spaces.begin(), spaces.end(),
                        [&](std::int64_t s) { return wanted.contains(s); }))
            result.push_back(window);
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
