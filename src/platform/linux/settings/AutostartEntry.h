#pragma once

#include "preferences/LoginItem.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::linux_platform {

// The executable the commands that draw, and so the live app, run in; `tidemark` starts it.
inline constexpr const char* kDrawingExecutable = "tidemark-draw";

// The desktop entry that makes the session start `executable` at login.
std::string autostartEntryText(const std::filesystem::path& executable);

// The Exec value that runs `path` with no arguments, quoted as desktop entries want when the
// path holds a character that is not plain.
std::string desktopExecValue(std::string_view path);

// What decides whether a session starts an autostart entry, beside the entry itself.
struct AutostartSession {
    // The names of XDG_CURRENT_DESKTOP, most specific first.
    std::vector<std::string> desktops;
    // Where a program named as in TryExec is, if it is there to run.
    std::function<std::optional<std::filesystem::path>(std::string_view program)> findProgram;
    // Asked only when XDG_CURRENT_DESKTOP names no desktop.
    std::function<std::optional<std::string>()> windowManager;

    // The environment's desktops and PATH; `windowManager` names the running window manager.
    static AutostartSession current(std::function<std::optional<std::string>()> windowManager);
};

// The [Desktop Entry] group's keys and values.
using DesktopEntryKeys = std::map<std::string, std::string, std::less<>>;
DesktopEntryKeys desktopEntryKeys(std::string_view text);

// Whether a session starts the entry: an application entry that neither Hidden,
// X-GNOME-Autostart-enabled, OnlyShowIn/NotShowIn (against the session's desktops) nor a
// TryExec program that is not there exclude.
bool autostartEntryRuns(const DesktopEntryKeys& keys, const AutostartSession& session);

// The program file PATH-style lookup finds for `program` (as is when it holds a slash): a
// regular file the user may execute.
std::optional<std::filesystem::path> findExecutable(std::string_view program,
                                                    std::string_view searchPath);

// How a shell command names `executable`: its bare name where `findProgram` finds this very
// file under that name, else its path, quoted where it holds a character that is not plain.
std::string shellCommandName(
    const std::filesystem::path& executable,
    const std::function<std::optional<std::filesystem::path>(std::string_view)>& findProgram);

// One line telling how to start `command` at login where the session starts no autostart
// entries by itself (plain i3 or Openbox, or no desktop named at all); nothing where it does.
std::optional<std::string> windowManagerStartHint(const std::vector<std::string>& desktops,
                                                  const std::optional<std::string>& windowManager,
                                                  std::string_view command);

// Launch at login through an XDG autostart entry: the entry file is the system's record.
class AutostartLoginItem final : public LoginItemService {
public:
    AutostartLoginItem(std::filesystem::path entryFile, std::filesystem::path executable,
                       AutostartSession session);

    // `autostart/tidemark.desktop` in the configuration folder (`configHome`); empty when
    // this user has no home folder, and then nothing can be registered.
    static std::filesystem::path defaultEntryFile();
    // The program a session should start: the running program's own file, or, in the
    // drawing executable, the `tidemark` that started it.
    static std::filesystem::path runningExecutable();

    Status status() const override;
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;
    std::optional<std::string> manualStartHint() const override;

private:
    std::filesystem::path entryFile_;
    std::filesystem::path executable_;
    AutostartSession session_;
};

} // namespace tidemark::linux_platform
