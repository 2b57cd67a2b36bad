#include "platform/linux/x11/DesktopEvents.h"

#include "platform/linux/JsonMembers.h"

#include <algorithm>
#include <initializer_list>

namespace tidemark::linux_platform::desktop {

namespace {

using Kind = I3TreeChange::Kind;

constexpr std::string_view kContainerMembers[] = {"change", "container", "window",
                                                  "fullscreen_mode"};

bool isOneOf(std::string_view change, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), change) != names.end();
}

I3TreeChange windowChange(std::string_view change, std::string_view payload) {
    if (isOneOf(change, {"focus", "title", "urgent", "mark", "floating"}))
        return {Kind::None};
    if (!isOneOf(change, {"close", "fullscreen_mode"}))
        return {};
    const auto event = i3::parseReplyPayload(payload, kContainerMembers);
    const auto* container = event ? json_members::member(*event, "container") : nullptr;
    const auto window = container ? json_members::integer(*container, "window") : std::nullopt;
    if (!window)
        return {};
    if (change == "close")
        return {Kind::WindowClosed, *window};
    const auto mode = json_members::integer(*container, "fullscreen_mode");
    if (!mode)
        return {};
    return {Kind::FullScreen, *window, *mode > 0};
}

// On the scratchpad: neither sticky nor on a workspace of the tree.
bool onScratchpad(const I3Tree& tree, std::int64_t window, const std::vector<SpaceId>& spaces) {
    return !tree.stickyWindows.contains(window) &&
           std::none_of(spaces.begin(), spaces.end(), [&](SpaceId space) {
               return std::find(tree.workspaces.begin(), tree.workspaces.end(), space) !=
                      tree.workspaces.end();
           });
}

} // namespace

I3TreeChange readI3TreeChange(i3::EventType type, std::string_view payload) {
    const auto change = i3::eventChange(payload);
    if (!change)
        return {};
    switch (type) {
    case i3::EventType::Workspace:
        if (isOneOf(*change, {"focus", "urgent", "rename", "move"}))
            return {Kind::None};
        if (isOneOf(*change, {"init", "empty"}))
            return {Kind::WorkspacesChanged};
        return {};
    case i3::EventType::Window:
        return windowChange(*change, payload);
    default:
        return {};
    }
}

bool followI3TreeChange(I3Tree& tree, const I3TreeChange& change) {
    switch (change.kind) {
    case Kind::None:
        return true;
    case Kind::WorkspacesChanged:
        return tree.stickyWindows.empty();
    case Kind::WindowClosed:
        tree.windowSpaces.erase(change.window);
        tree.stickyWindows.erase(change.window);
        tree.fullScreen.erase(change.window);
        break;
    case Kind::FullScreen: {
        const auto held = tree.windowSpaces.find(change.window);
        if (held == tree.windowSpaces.end() || tree.fullScreenAboveWindows)
            return false;
        if (onScratchpad(tree, change.window, held->second))
            return true;
        if (change.fullScreen)
            tree.fullScreen.insert(change.window);
        else
            tree.fullScreen.erase(change.window);
        break;
    }
    case Kind::Unknown:
        return false;
    }
    tree.fullScreenWindows = i3FullScreenWindows(tree);
    return true;
}

} // namespace tidemark::linux_platform::desktop
