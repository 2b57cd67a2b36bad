#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

// i3's replies (and sway's, which speaks the same IPC) read once into plain records. Pure
// functions: entries of the wrong shape are skipped, lists read up to kMaxDesktopItems, and
// where given `truncated` is set when something was cut.
namespace tidemark::linux_platform::i3 {

struct WorkspaceRecord {
    std::int64_t id = 0; // the workspace's container id
    std::optional<std::int64_t> num;
    std::string name;
    bool visible = false;
    bool focused = false;
    bool urgent = false;
};

struct OutputRecord {
    std::string name;
    // In the order `get_workspaces` lists them.
    std::vector<WorkspaceRecord> workspaces;
};

// The active outputs of `get_outputs` in its order, each with the workspaces of
// `get_workspaces` that sit on it.
std::vector<OutputRecord> outputWorkspaces(const nlohmann::json& workspaces,
                                           const nlohmann::json& outputs,
                                           bool* truncated = nullptr);

// One window of a `get_tree` reply and where it sits.
struct TreeWindow {
    // The window's own container, inside the reply.
    const nlohmann::json* node = nullptr;
    // The container id of its workspace.
    std::int64_t workspace = 0;
    // On the scratchpad (a workspace named "__…"), which no output shows.
    bool scratchpad = false;
    // It, or a container between it and its workspace, has a `fullscreen_mode`.
    bool fullScreen = false;
    bool sticky = false;
};

struct TreeWindows {
    // Every workspace but the scratchpad, in tree order.
    std::vector<std::int64_t> workspaces;
    // Tiled and floating, at any depth up to a bound, in tree order.
    std::vector<TreeWindow> windows;
};

// The containers below a workspace that `isWindow` takes for windows (i3: those with an X
// window id; sway: views, which carry a pid).
TreeWindows treeWindows(const nlohmann::json& tree,
                        const std::function<bool(const nlohmann::json&)>& isWindow,
                        bool* truncated = nullptr);

} // namespace tidemark::linux_platform::i3
