#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::linux_platform {

// The folder this user's configuration lives in: `$XDG_CONFIG_HOME`, else `$HOME/.config`,
// else `.config` in the home the password database gives. Relative paths count as unset:
// they would name a folder under whatever the current directory happens to be. Nothing when
// no home is known. `passwordHome` is asked only when both variables fail.
std::optional<std::filesystem::path>
configHome(std::string_view xdgConfigHome, std::string_view home,
           const std::function<std::optional<std::string>()>& passwordHome);

// The same for this process: its environment and its user's password entry.
std::optional<std::filesystem::path> configHome();

// The line that says why nothing can be kept when `configHome()` has no answer.
std::string noConfigHomeLine();

} // namespace tidemark::linux_platform
