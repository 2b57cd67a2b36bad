#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::linux_platform {

// Files that belong to one login session and one display (the single-instance lock, a
// control socket): in one folder per user, named by the display they serve.

// The X display `display` names, without transport or screen, so that ":0", ":0.0",
// "unix:0", "unix/:0" and "localhost:0" are one name ("x11-0") and a second strip never
// starts on the same server under another spelling. Another host keeps its name in the
// result. Nothing for a value that names no display.
std::optional<std::string> xDisplayIdentity(std::string_view display);

// The Wayland display `waylandDisplay` (WAYLAND_DISPLAY) names: "wl-" and the socket's name,
// "wayland-0" when it is empty as for libwayland, any character but letters, digits, '.' and
// '-' made '_' (an absolute path names the socket itself). Nothing for a name too long to be
// part of a file name.
std::optional<std::string> waylandDisplayIdentity(std::string_view waylandDisplay);

// Whether a folder found at the session folder's place may hold this user's session files:
// a real directory (not a link to one) of this user that nobody else may enter or change.
bool isPrivateFolder(bool isDirectory, unsigned owner, unsigned mode, unsigned uid);

// `$XDG_RUNTIME_DIR/tidemark` (`runtimeDir` empty: `/tmp/tidemark-<uid>`), made owner-only
// when missing. Nothing, with one line in `error`, when it cannot be made or is not this
// user's private folder: someone else may have made it first.
std::optional<std::filesystem::path> sessionFolder(std::string_view runtimeDir, unsigned uid,
                                                   std::string& error);

// The file of this user and of the display the session shows the strip on, with `extension`
// (".lock", ".sock"), in the session folder of XDG_RUNTIME_DIR: the X display that DISPLAY
// names (`$XDG_RUNTIME_DIR/tidemark/x11-0.lock`), or under a Wayland compositor the one
// WAYLAND_DISPLAY names (`wl-wayland-1.lock`). Nothing, with one line in `error`, when DISPLAY
// names no display or the folder is not safe.
std::optional<std::filesystem::path> displaySessionFile(std::string_view extension,
                                                        std::string& error);

// The folder that stands in for a runtime folder the session does not name
// (`XDG_RUNTIME_DIR` unset or empty): the session folder under /tmp. Nothing when the session
// names one, or when that folder is not safe.
std::optional<std::string> runtimeFolderFallback();

} // namespace tidemark::linux_platform
