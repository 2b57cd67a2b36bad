#pragma once

#include "preferences/LoginItem.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace tidemark::linux_platform {

// The executable the commands that draw, and so the live app, run in; `tidemark` starts it.
inline constexpr const char* kDrawingExecutable = "tidemark-draw";

// The desktop entry that makes the session start `executable` at login.
std::string autostartEntryText(const std::filesystem::path& executable);

// The Exec value that runs `path` with no arguments, quoted as desktop entries want when the
// path holds a character that is not plain.
std::string desktopExecValue(std::string_view path);

// Whether an entry's text asks the session to start it: an application entry that is not
// hidden.
bool autostartEntryIsActive(std::string_view text);

// Launch at login through an XDG autostart entry: the entry file is the system's record.
class AutostartLoginItem final : public LoginItemService {
public:
    AutostartLoginItem(std::filesystem::path entryFile, std::filesystem::path executable);

    // `autostart/tidemark.desktop` in the configuration folder (`configHome`); empty when
    // this user has no home folder, and then nothing can be registered.
    static std::filesystem::path defaultEntryFile();
    // The program a session should start: the running program's own file, or, in the
    // drawing executable, the `tidemark` that started it.
    static std::filesystem::path runningExecutable();

    Status status() const override;
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;

private:
    std::filesystem::path entryFile_;
    std::filesystem::path executable_;
};

} // namespace tidemark::linux_platform
