#include "platform/linux/settings/AutostartEntry.h"

#include "platform/linux/apps/DesktopEntries.h"
#include "platform/linux/settings/ConfigHome.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

// Desktop entry values escape backslashes themselves, on top of the Exec quoting.
std::string escapedValue(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c == '\\')
            result += "\\\\";
        else if (c == '\n')
            result += "\\n";
        else
            result += c;
    }
    return result;
}

std::string errorText(int error) {
    return std::generic_category().message(error);
}

} // namespace

std::string desktopExecValue(std::string_view path) {
    constexpr std::string_view kReserved = " \t\"'\\><~|&;$*?#()`=%";
    if (path.find_first_of(kReserved) == std::string_view::npos)
        return escapedValue(path);
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        // A field code would be expanded even inside quotes; "%%" is a literal percent.
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    quoted += '"';
    return escapedValue(quoted);
}

std::string autostartEntryText(const std::filesystem::path& executable) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tidemark\n"
           "Comment=Every desktop of every display at a glance\n"
           "Exec=" +
           desktopExecValue(executable.string()) +
           "\n"
           "Icon=tidemark\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool autostartEntryIsActive(std::string_view text) {
    return parseDesktopEntry(text, "tidemark", {}).has_value();
}

AutostartLoginItem::AutostartLoginItem(std::filesystem::path entryFile,
                                       std::filesystem::path executable)
    : entryFile_(std::move(entryFile)), executable_(std::move(executable)) {}

std::filesystem::path AutostartLoginItem::defaultEntryFile() {
    const auto home = configHome();
    return home ? *home / "autostart" / "tidemark.desktop" : std::filesystem::path();
}

std::filesystem::path AutostartLoginItem::runningExecutable() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "tidemark";
    // The live app runs in the drawing executable, which `tidemark` starts with its own
    // absolute path as argv[0]: that is the program a session should start.
    if (path.filename() == kDrawingExecutable) {
        std::ifstream commandLine("/proc/self/cmdline");
        std::string first;
        std::getline(commandLine, first, '\0');
        if (const std::filesystem::path launcher(first); launcher.is_absolute())
            return launcher;
    }
    return path;
}

LoginItemService::Status AutostartLoginItem::status() const {
    std::ifstream file(entryFile_);
    if (!file)
        return Status::NotRegistered;
    std::ostringstream text;
    text << file.rdbuf();
    return autostartEntryIsActive(text.str()) ? Status::Enabled : Status::NotRegistered;
}

std::optional<std::string> AutostartLoginItem::registerItem() {
    if (entryFile_.empty())
        return "no home folder to keep the autostart entry in";
    std::error_code error;
    std::filesystem::create_directories(entryFile_.parent_path(), error);
    if (error)
        return "cannot create " + entryFile_.parent_path().string() + ": " + error.message();
    // Written beside and renamed over, so the session never reads half an entry.
    const auto temporary = entryFile_.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << autostartEntryText(executable_);
        out.close();
        if (!out) {
            const int saved = errno;
            ::unlink(temporary.c_str());
            return "cannot write " + temporary + ": " + errorText(saved ? saved : EIO);
        }
    }
    if (std::rename(temporary.c_str(), entryFile_.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        return "cannot write " + entryFile_.string() + ": " + errorText(saved);
    }
    return std::nullopt;
}

std::optional<std::string> AutostartLoginItem::unregisterItem() {
    if (::unlink(entryFile_.c_str()) == 0 || errno == ENOENT)
        return std::nullopt;
    return "cannot remove " + entryFile_.string() + ": " + errorText(errno);
}

} // namespace tidemark::linux_platform
