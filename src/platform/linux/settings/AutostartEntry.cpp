#include "platform/linux/settings/AutostartEntry.h"

#include "platform/linux/apps/DesktopEntries.h"
#include "platform/linux/settings/ConfigHome.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

std::string_view valueOf(const DesktopEntryKeys& keys, std::string_view key) {
    const auto it = keys.find(key);
    return it == keys.end() ? std::string_view() : std::string_view(it->second);
}

// Desktop entry booleans as the key-file readers take them.
bool isTrue(std::string_view value) {
    return value == "true" || value == "1";
}
bool isFalse(std::string_view value) {
    return value == "false" || value == "0";
}

// Whether a ";"-separated list of desktops names one of the session's; names match exactly.
bool namesAny(std::string_view list, const std::vector<std::string>& desktops) {
    const auto items = listItems(list, ';');
    return std::ranges::any_of(items, [&](std::string_view item) {
        return std::ranges::find(desktops, item) != desktops.end();
    });
}

// The window managers that run nothing from the autostart folder unless a session manager
// starts them.
enum class BareWindowManager { I3, Openbox };

std::optional<BareWindowManager> bareWindowManager(std::string_view name) {
    std::string lower(name);
    std::ranges::transform(lower, lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (lower == "i3")
        return BareWindowManager::I3;
    if (lower == "openbox")
        return BareWindowManager::Openbox;
    return std::nullopt;
}

// The path as one word of a shell command line.
std::string shellWord(std::string_view path) {
    constexpr std::string_view kPlain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                        "0123456789/._+-";
    if (!path.empty() && path.find_first_not_of(kPlain) == std::string_view::npos)
        return std::string(path);
    std::string quoted = "'";
    for (const char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
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

AutostartSession
AutostartSession::current(std::function<std::optional<std::string>()> windowManager) {
    AutostartSession session;
    if (const char* desktop = std::getenv("XDG_CURRENT_DESKTOP"))
        for (const auto name : listItems(desktop, ':'))
            session.desktops.emplace_back(name);
    const char* path = std::getenv("PATH");
    session.findProgram = [searchPath = std::string(path ? path : "/usr/local/bin:/usr/bin:/bin")](
                              std::string_view program) {
        return findExecutable(program, searchPath);
    };
    session.windowManager = std::move(windowManager);
    return session;
}

DesktopEntryKeys desktopEntryKeys(std::string_view text) {
    DesktopEntryKeys keys;
    forEachMainGroupKey(text, [&keys](std::string_view key, std::string_view value) {
        keys.insert_or_assign(std::string(key), std::string(value));
    });
    return keys;
}

bool autostartEntryRuns(const DesktopEntryKeys& keys, const AutostartSession& session) {
    if (valueOf(keys, "Type") != "Application" || isTrue(valueOf(keys, "Hidden")) ||
        isFalse(valueOf(keys, "X-GNOME-Autostart-enabled")))
        return false;
    if (keys.contains("OnlyShowIn") && !namesAny(valueOf(keys, "OnlyShowIn"), session.desktops))
        return false;
    if (namesAny(valueOf(keys, "NotShowIn"), session.desktops))
        return false;
    const auto tryExec = valueOf(keys, "TryExec");
    return tryExec.empty() || (session.findProgram && session.findProgram(tryExec));
}

std::optional<std::filesystem::path> findExecutable(std::string_view program,
                                                    std::string_view searchPath) {
    const auto runnable = [](const std::filesystem::path& file) {
        std::error_code error;
        return std::filesystem::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0;
    };
    if (program.empty())
        return std::nullopt;
    if (program.find('/') != std::string_view::npos) {
        const std::filesystem::path file(program);
        return runnable(file) ? std::optional(file) : std::nullopt;
    }
    for (const auto folder : listItems(searchPath, ':'))
        if (auto file = std::filesystem::path(folder) / program; runnable(file))
            return file;
    return std::nullopt;
}

std::optional<std::string> windowManagerStartHint(const std::vector<std::string>& desktops,
                                                  const std::optional<std::string>& windowManager,
                                                  std::string_view command) {
    if (!std::ranges::all_of(desktops,
                             [](const auto& d) { return bareWindowManager(d).has_value(); }))
        return std::nullopt;
    const std::string name = desktops.empty() ? windowManager.value_or("") : desktops.front();
    const std::string shown(command);
    // Short enough for one line under the switch.
    const auto bare = bareWindowManager(name);
    if (bare == BareWindowManager::I3)
        return "i3 runs no autostart: add “exec " + shown + "” to the i3 config.";
    if (bare == BareWindowManager::Openbox)
        return "Openbox alone: add “" + shown + " &” to ~/.config/openbox/autostart.";
    return (name.empty() ? std::string("This window manager") : name) +
           " runs no autostart: run “" + shown + "” from its start-up file.";
}

AutostartLoginItem::AutostartLoginItem(std::filesystem::path entryFile,
                                       std::filesystem::path executable, AutostartSession session)
    : entryFile_(std::move(entryFile)), executable_(std::move(executable)),
      session_(std::move(session)) {}

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
    return autostartEntryRuns(desktopEntryKeys(text.str()), session_) ? Status::Enabled
                                                                      : Status::NotRegistered;
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

std::string shellCommandName(
    const std::filesystem::path& executable,
    const std::function<std::optional<std::filesystem::path>(std::string_view)>& findProgram) {
    const auto name = executable.filename().string();
    const auto found = findProgram ? findProgram(name) : std::nullopt;
    std::error_code error;
    if (found && std::filesystem::equivalent(*found, executable, error))
        return name;
    return shellWord(executable.string());
}

std::optional<std::string> AutostartLoginItem::manualStartHint() const {
    std::optional<std::string> windowManager;
    if (session_.desktops.empty() && session_.windowManager)
        windowManager = session_.windowManager();
    return windowManagerStartHint(session_.desktops, windowManager,
                                  shellCommandName(executable_, session_.findProgram));
}

std::optional<std::string> AutostartLoginItem::unregisterItem() {
    if (::unlink(entryFile_.c_str()) == 0 || errno == ENOENT)
        return std::nullopt;
    return "cannot remove " + entryFile_.string() + ": " + errorText(errno);
}

} // namespace tidemark::linux_platform
