#include "platform/linux/i3/I3Replies.h"

#include "platform/linux/JsonMembers.h"

namespace tidemark::linux_platform::i3 {

namespace {

using nlohmann::json;
namespace member = json_members;

constexpr int kMaxTreeDepth = 200;

struct TreeWalk {
    const std::function<bool(const json&)>& isWindow;
    TreeWindows result;
    bool truncated = false;

    void visit(const json& node, std::optional<std::int64_t> workspace, bool scratchpad,
               bool fullScreen, int depth) {
        if (!node.is_object() || depth > kMaxTreeDepth)
            return;
        // A workspace itself always fills its output; only what is below it counts.
        if (workspace && member::integer(node, "fullscreen_mode").value_or(0) > 0)
            fullScreen = true;
        if (member::string(node, "type") == "workspace") {
            const auto name = member::string(node, "name");
            workspace = member::integer(node, "id");
            // The scratchpad is a hidden store, not a desktop: no display lists it and its
            // windows show on none, yet a window kept there is still a window of its app.
            scratchpad = name && name->starts_with("__");
            if (workspace && result.workspaces.size() >= desktop::kMaxDesktopItems) {
                truncated = true;
                return;
            }
            if (workspace && !scratchpad)
                result.workspaces.push_back(*workspace);
        }
        if (workspace && isWindow(node)) {
            if (result.windows.size() >= desktop::kMaxDesktopItems) {
                truncated = true;
                return;
            }
            result.windows.push_back(
                {&node, *workspace, scratchpad, fullScreen, member::flag(node, "sticky")});
        }
        for (const char* children : {"nodes", "floating_nodes"})
            if (const auto* list = member::member(node, children); list && list->is_array())
                for (const auto& child : *list)
                    visit(child, workspace, scratchpad, fullScreen, depth + 1);
    }
};

} // namespace

std::vector<OutputRecord> outputWorkspaces(const json& workspaces, const json& outputs,
                                           bool* truncated) {
    bool cut = false;
    const auto outputList = member::cappedItems(outputs, cut);
    const auto workspaceList = member::cappedItems(workspaces, cut);
    if (truncated)
        *truncated = cut;
    std::vector<OutputRecord> result;
    for (const auto& output : outputList) {
        const auto name = member::string(output, "name");
        if (!name || !member::flag(output, "active"))
            continue;
        OutputRecord record{*name, {}};
        for (const auto& workspace : workspaceList) {
            const auto id = member::integer(workspace, "id");
            if (!id || member::string(workspace, "output") != name)
                continue;
            record.workspaces.push_back(
                {.id = *id,
                 .num = member::integer(workspace, "num"),
                 .name = text::boundedName(member::string(workspace, "name").value_or(""),
                                           desktop::kMaxNameBytes),
                 .visible = member::flag(workspace, "visible"),
                 .focused = member::flag(workspace, "focused"),
                 .urgent = member::flag(workspace, "urgent")});
        }
        result.push_back(std::move(record));
    }
    return result;
}

TreeWindows treeWindows(const json& tree, const std::function<bool(const json&)>& isWindow,
                        bool* truncated) {
    TreeWalk walk{isWindow, {}, false};
    walk.visit(tree, std::nullopt, false, false, 0);
    if (truncated)
        *truncated = walk.truncated;
    return std::move(walk.result);
}

} // namespace tidemark::linux_platform::i3
