#include "platform/linux/settings/ConfigHome.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tidemark::linux_platform {
namespace {

std::optional<std::filesystem::path> absolute(std::string_view path) {
    if (path.empty() || path.front() != '/')
        return std::nullopt;
    return std::filesystem::path(path);
}

std::string_view variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::optional<std::string> passwordDatabaseHome() {
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? std::size_t(suggested) : 4096);
    for (;;) {
        passwd entry{};
        passwd* found = nullptr;
        const int error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || !found || !entry.pw_dir)
            return std::nullopt;
        return std::string(entry.pw_dir);
    }
}

} // namespace

std::optional<std::filesystem::path>
configHome(std::string_view xdgConfigHome, std::string_view home,
           const std::function<std::optional<std::string>()>& passwordHome) {
    if (auto folder = absolute(xdgConfigHome))
        return folder;
    if (auto folder = absolute(home))
        return *folder / ".config";
    if (const auto fromDatabase = passwordHome())
        if (auto folder = absolute(*fromDatabase))
            return *folder / ".config";
    return std::nullopt;
}

std::optional<std::filesystem::path> configHome() {
    return configHome(variable("XDG_CONFIG_HOME"), variable("HOME"), passwordDatabaseHome);
}

std::string noConfigHomeLine() {
    return "no home folder to keep settings in (HOME is not set and the password database has "
           "none for uid " +
           std::to_string(::getuid()) + "); using default settings and keeping no changes";
}

} // namespace tidemark::linux_platform
