#include "platform/linux/x11/LinuxSwitchPermission.h"

#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace tidemark::linux_platform {

std::optional<std::vector<std::string>> desktopSettingsCommand(std::string_view currentDesktop) {
    struct Known {
        std::string_view desktop;
        std::vector<std::string> command;
    };
    static const Known known[] = {
        {"GNOME", {"gnome-control-center"}}, {"Unity", {"gnome-control-center"}},
        {"KDE", {"systemsettings"}},         {"XFCE", {"xfce4-settings-manager"}},
        {"MATE", {"mate-control-center"}},   {"Cinnamon", {"cinnamon-settings"}},
        {"LXQt", {"lxqt-config"}},
    };
    while (!currentDesktop.empty()) {
        const auto colon = currentDesktop.find(':');
        const auto name = currentDesktop.substr(0, colon);
        for (const auto& entry : known)
            if (entry.desktop == name)
                return entry.command;
        currentDesktop =
            colon == std::string_view::npos ? std::string_view() : currentDesktop.substr(colon + 1);
    }
    return std::nullopt;
}

void LinuxSwitchPermission::openSettings() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const auto command = desktopSettingsCommand(desktop ? desktop : "");
    if (!command)
        return;
    std::vector<char*> argv;
    for (const auto& part : *command)
        argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return;
    // Reaped when it ends, whenever that is.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
}

} // namespace tidemark::linux_platform
