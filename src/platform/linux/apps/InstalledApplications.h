#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tidemark::linux_proc {

// Whether an application id names an installed application: a desktop entry with that id in
// the XDG data directories, or an installed Flatpak with that id.
class InstalledApplications {
public:
    // $XDG_DATA_HOME and $XDG_DATA_DIRS (with their standard defaults), and the user and
    // system Flatpak installations.
    static InstalledApplications fromEnvironment();

    InstalledApplications(std::vector<std::filesystem::path> dataDirectories,
                          std::vector<std::filesystem::path> flatpakInstallations)
        : dataDirectories_(std::move(dataDirectories)),
          flatpakInstallations_(std::move(flatpakInstallations)) {}

    // `id` without the ".desktop" suffix, e.g. "org.mozilla.firefox". An entry marked
    // Hidden counts as removed; ids that could leave the directories are refused.
    bool isInstalled(const std::string& id) const;

    const std::vector<std::filesystem::path>& dataDirectories() const { return dataDirectories_; }

private:
    std::vector<std::filesystem::path> dataDirectories_;
    std::vector<std::filesystem::path> flatpakInstallations_;
};

} // namespace tidemark::linux_proc
