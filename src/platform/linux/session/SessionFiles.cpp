#include "platform/linux/session/SessionFiles.h"

#include "platform/linux/DesktopSession.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

// Letters, digits, '.' and '-' as they are; anything else, '/' above all, '_'.
std::string fileNamePart(std::string_view text) {
    std::string name(text);
    std::ranges::replace_if(
        name,
        [](char c) {
            const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                               (c >= '0' && c <= '9') || c == '.' || c == '-';
            return !plain;
        },
        '_');
    return name;
}

// With "wl-" and ".lock" it stays well inside a file name's 255 bytes.
constexpr std::size_t kMaxDisplayName = 200;

} // namespace

std::optional<std::string> xDisplayIdentity(std::string_view display) {
    // [protocol/][host]:number[.screen]
    const auto colon = display.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    auto number = display.substr(colon + 1);
    if (const auto dot = number.find('.'); dot != std::string_view::npos) {
        if (!allDigits(number.substr(dot + 1)))
            return std::nullopt;
        number = number.substr(0, dot);
    }
    if (!allDigits(number) || number.size() > 9)
        return std::nullopt;
    auto host = display.substr(0, colon);
    for (std::string_view protocol : {"unix/", "local/", "tcp/", "inet/", "inet6/"})
        if (host.starts_with(protocol))
            host.remove_prefix(protocol.size());
    if (host.empty() || host == "unix" || host == "localhost")
        return "x11-" + std::string(number);
    return "x11-" + fileNamePart(host) + "-" + std::string(number);
}

std::optional<std::string> waylandDisplayIdentity(std::string_view waylandDisplay) {
    if (waylandDisplay.size() > kMaxDisplayName)
        return std::nullopt;
    return "wl-" + fileNamePart(waylandDisplay.empty() ? "wayland-0" : waylandDisplay);
}

bool isPrivateFolder(bool isDirectory, unsigned owner, unsigned mode, unsigned uid) {
    return isDirectory && owner == uid && (mode & 077) == 0;
}

std::optional<std::filesystem::path> sessionFolder(std::string_view runtimeDir, unsigned uid,
                                                   std::string& error) {
    const std::filesystem::path folder =
        runtimeDir.empty() ? std::filesystem::path("/tmp/tidemark-" + std::to_string(uid))
                           : std::filesystem::path(runtimeDir) / "tidemark";
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot make " + folder.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat facts {};
    if (::lstat(folder.c_str(), &facts) != 0) {
        error = "cannot read " + folder.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!isPrivateFolder(S_ISDIR(facts.st_mode), facts.st_uid, facts.st_mode & 07777, uid)) {
        error = folder.string() +
                " is not a folder of this user's alone; remove it, or set XDG_RUNTIME_DIR";
        return std::nullopt;
    }
    return folder;
}

std::optional<std::filesystem::path> displaySessionFile(std::string_view extension,
                                                        std::string& error) {
    const bool wayland = currentDesktopSession() != DesktopSession::X11;
    const char* display = std::getenv(wayland ? "WAYLAND_DISPLAY" : "DISPLAY");
    const auto identity = wayland ? waylandDisplayIdentity(display ? display : "")
                                  : xDisplayIdentity(display ? display : "");
    if (!identity) {
        error = std::string(wayland ? "WAYLAND_DISPLAY '" : "DISPLAY '") +
                (display ? display : "") +
                (wayland ? "' names no Wayland display" : "' names no X display");
        return std::nullopt;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const auto folder = sessionFolder(runtime ? runtime : "", ::getuid(), error);
    if (!folder)
        return std::nullopt;
    return *folder / (*identity + std::string(extension));
}

std::optional<std::string> runtimeFolderFallback() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::nullopt;
    std::string error;
    const auto folder = sessionFolder("", ::getuid(), error);
    return folder ? std::optional<std::string>(folder->string()) : std::nullopt;
}

} // namespace tidemark::linux_platform
