#include "platform/linux/wayland/DesktopTable.h"

#include "platform/linux/x11/DesktopModel.h"

#include <algorithm>
#include <set>

namespace tidemark::linux_platform::wayland {

namespace {

// A sticky window shows on every workspace of the output that holds its own.
std::vector<SpaceId> spacesOf(const WindowEntry& window, const Outputs& outputs) {
    if (!window.workspace)
        return {};
    if (window.sticky)
        for (const auto& output : outputs)
            for (const auto& workspace : output.workspaces)
                if (workspace.id == *window.workspace) {
                    std::vector<SpaceId> all;
                    for (const auto& other : output.workspaces)
                        all.push_back(other.id);
                    return all;
                }
    return {*window.workspace};
}

} // namespace

std::vector<Display> displaysOf(const Outputs& outputs, const Windows& windows) {
    std::vector<Display> displays;
    for (const auto& output : outputs) {
        Display display;
        display.identifier = output.name;
        std::optional<SpaceId> current;
        for (const auto& workspace : output.workspaces) {
            DisplaySpace space;
            space.id = workspace.id;
            space.wmNumber = workspace.number;
            space.wmName = workspace.name;
            space.isUrgent = workspace.urgent;
            display.spaces.push_back(std::move(space));
            if (!current && workspace.visible)
                current = workspace.id;
        }
        // Nothing shown on it: no current space to draw.
        if (!current)
            continue;
        display.currentSpace = *current;
        displays.push_back(std::move(display));
    }
    std::vector<desktop::SpaceWindow> placed;
    std::map<std::int64_t, std::optional<std::int32_t>> pids;
    for (const auto& window : windows) {
        placed.push_back({window.id, spacesOf(window, outputs), window.fullScreen});
        pids[window.id] = window.pid;
    }
    std::map<SpaceId, std::optional<std::int32_t>> owners;
    for (const auto& [space, window] : desktop::fullScreenSpaces(placed))
        owners.emplace(space, pids[window]);
    desktop::markFullScreen(displays, owners);
    return displays;
}

std::optional<Windows> withFocusedWindow(const Windows& windows, const WindowEntry& focused) {
    const auto known = std::find_if(windows.begin(), windows.end(), [&](const WindowEntry& window) {
        return window.id == focused.id && window.pid == focused.pid &&
               window.appId == focused.appId && window.instance == focused.instance;
    });
    if (known == windows.end())
        return std::nullopt;
    auto result = windows;
    for (auto& window : result)
        window.focused = window.id == focused.id;
    return result;
}

std::optional<Outputs> withShownWorkspace(const Outputs& outputs, const ShownWorkspace& shown) {
    const auto& target = shown.workspace;
    auto result = outputs;
    bool found = false;
    for (auto& output : result)
        for (auto& workspace : output.workspaces) {
            const bool isTarget = workspace.id == target.id;
            if (isTarget && (output.name != shown.output || workspace.number != target.number ||
                             workspace.name != target.name))
                return std::nullopt;
            found = found || isTarget;
            workspace.focused = isTarget;
            if (output.name == shown.output)
                workspace.visible = isTarget;
        }
    if (!found)
        return std::nullopt;
    return result;
}

WindowList windowListOf(const Outputs& outputs, const Windows& windows) {
    std::set<SpaceId> shown;
    for (const auto& output : outputs)
        for (const auto& workspace : output.workspaces)
            if (workspace.visible)
                shown.insert(workspace.id);
    WindowList list;
    list.windows.reserve(windows.size());
    for (const auto& window : windows) {
        WindowInfo info;
        info.number = window.id;
        info.ownerPid = window.pid;
        info.layer = WindowLayer{0, true};
        const auto spaces = spacesOf(window, outputs);
        info.onScreen = std::any_of(spaces.begin(), spaces.end(),
                                    [&](SpaceId space) { return shown.contains(space); });
        info.spaces.assign(spaces.begin(), spaces.end());
        list.windows.push_back(std::move(info));
    }
    return list;
}

std::map<std::int32_t, TableApp> appsOf(const Windows& windows, const DesktopEntries& entries,
                                        const SeenOwners& owners) {
    std::map<std::int32_t, TableApp> apps;
    for (const auto& window : windows) {
        if (!window.pid || *window.pid <= 0)
            continue;
        auto& state = apps[*window.pid];
        auto& app = state.application;
        state.windows.push_back(window.id);
        app.pid = *window.pid;
        // Every window a compositor lists is an ordinary toplevel.
        app.activationPolicy = ActivationPolicy::Regular;
        if (!app.bundleIdentifier)
            if (auto naming = nameApp(entries, window.appId, window.instance)) {
                app.bundleIdentifier = std::move(naming->identifier);
                app.localizedName = std::move(naming->name);
                app.bundlePath = std::move(naming->entryPath);
            }
        if (const auto owner = owners.find(window.id);
            owner != owners.end() && owner->second.pid == *window.pid) {
            if (!app.seenOwner)
                app.seenOwner = owner->second.start;
            else if (*app.seenOwner != owner->second.start)
                app.seenOwner = SeenOwner();
        }
    }
    return apps;
}

} // namespace tidemark::linux_platform::wayland
