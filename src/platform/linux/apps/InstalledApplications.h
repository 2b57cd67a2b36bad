#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tidemark::linux_proc {

// Whether an application id names an installed application: the desktop entry the desktop
// takes for that id (findDesktopEntry), or an installed Flatpak with that id.
class InstalledApplications {
public:
    // The XDG data directories (applicationDataDirs), and the user and system Flatpak
    // installations.
    static InstalledApplications fromEnvironment();

    InstalledApplications(std::vector<std::filesystem::path> dataDirectories,
                          std::vector<std::filesystem::path> flatpakInstallations)
        : dataDirectories_(std::move(dataDirectories)),
          flatpakInstallations_(std::move(flatpakInstallations)) {}

    // `id` without the ".desktop" suffix, e.g. "org.mozilla.firefox". An entry marked
    // Hidden counts as removed; ids that could leave the directories are refused.
    bool isInstalled(const std::string& id) const;

private:
    std::vector<std::filesystem::path> dataDirectories_;
    std::vector<std::filesystem::path> flatpakInstallations_;
};

} // namespace tidemark::linux_proc
