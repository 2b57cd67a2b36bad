#include "platform/linux/i3/I3WorkspaceSwitch.h"

#include <algorithm>

namespace tidemark::linux_platform::i3 {
namespace {

// i3's command parser takes a double-quoted string with backslash escapes.
std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + '"';
}

// The full name of the workspace with container id `id`.
std::optional<std::string> workspaceName(const nlohmann::json& workspaces, std::int64_t id) {
    if (!workspaces.is_array())
        return std::nullopt;
    for (const auto& workspace : workspaces) {
        if (!workspace.is_object())
            continue;
        const auto found = workspace.find("id");
        const auto name = workspace.find("name");
        if (found == workspace.end() || !found->is_number_integer() ||
            found->get<std::int64_t>() != id)
            continue;
        if (name == workspace.end() || !name->is_string())
            return std::nullopt;
        return name->get<std::string>();
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> workspaceSwitchCommand(const nlohmann::json& workspaces,
                                                  std::int64_t id) {
    const auto name = workspaceName(workspaces, id);
    if (!name)
        return std::nullopt;
    return "workspace --no-auto-back-and-forth " + quoted(*name);
}

std::optional<std::string> windowMoveCommand(const nlohmann::json& workspaces, std::int64_t conId,
                                             std::int64_t to) {
    const auto name = workspaceName(workspaces, to);
    if (!name)
        return std::nullopt;
    return "[con_id=" + std::to_string(conId) +
           "] move --no-auto-back-and-forth container to workspace " + quoted(*name);
}

bool commandsSucceeded(const nlohmann::json& reply) {
    return reply.is_array() && !reply.empty() &&
           std::all_of(reply.begin(), reply.end(), [](const nlohmann::json& result) {
               if (!result.is_object())
                   return false;
               const auto success = result.find("success");
               return success != result.end() && success->is_boolean() && success->get<bool>();
           });
}

} // namespace tidemark::linux_platform::i3
