#include "platform/linux/apps/InstalledApplications.h"

#include "platform/linux/apps/DesktopEntries.h"

#include <cstdlib>

namespace tidemark::linux_proc {

InstalledApplications InstalledApplications::fromEnvironment() {
    std::vector<std::filesystem::path> flatpaks;
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        flatpaks.emplace_back(std::filesystem::path(home) / ".local/share/flatpak");
    flatpaks.emplace_back("/var/lib/flatpak");
    return InstalledApplications(linux_platform::applicationDataDirs(), std::move(flatpaks));
}

bool InstalledApplications::isInstalled(const std::string& id) const {
    // Read afresh each time: an app installed or removed since launch counts as it is now.
    if (linux_platform::desktopEntryPaths(id).empty())
        return false;
    if (linux_platform::findDesktopEntry(dataDirectories_, id))
        return true;
    std::error_code error;
    for (const auto& installation : flatpakInstallations_)
        if (std::filesystem::is_directory(installation / "app" / id / "current", error))
            return true;
    return false;
}

} // namespace tidemark::linux_proc
