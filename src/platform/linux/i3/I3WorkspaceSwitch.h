#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace tidemark::linux_platform::i3 {

// The command that shows the workspace with container id `id` of a `get_workspaces` answer.
// It names the workspace by its full name, which is unique where numbers are not, and turns
// auto back-and-forth off so that asking for the workspace already shown keeps it. Nothing
// when the answer lists no such workspace.
std::optional<std::string> workspaceSwitchCommand(const nlohmann::json& workspaces,
                                                  std::int64_t id);

// The command that moves container `conId` to the workspace with container id `to` of a
// `get_workspaces` answer, by its full name, auto back-and-forth off so that a move to the
// focused workspace lands there. The flag goes before "container": i3 (and sway) read it
// there, while after "workspace" i3 takes it for the start of the name. Nothing when the answer
// lists no such workspace.
std::optional<std::string> windowMoveCommand(const nlohmann::json& workspaces, std::int64_t conId,
                                             std::int64_t to);

// Whether a `run_command` reply says every command succeeded.
bool commandsSucceeded(const nlohmann::json& reply);

} // namespace tidemark::linux_platform::i3
