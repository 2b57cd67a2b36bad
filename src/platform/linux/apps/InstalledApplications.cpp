#include "platform/linux/apps/InstalledApplications.h"

#include "platform/linux/proc/ProcFiles.h"

#include <cstdlib>
#include <sstream>

namespace tidemark::linux_proc {

namespace {

std::vector<std::filesystem::path> splitPaths(const char* list, const char* fallback) {
    const std::string text = list && *list ? list : fallback;
    std::vector<std::filesystem::path> paths;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ':'))
        if (!item.empty() && item.front() == '/')
            paths.emplace_back(item);
    return paths;
}

bool isSafeId(const std::string& id) {
    return !id.empty() && id.find('/') == std::string::npos && id.find('\0') == std::string::npos &&
           id != "." && id != "..";
}

// "kde4-foo" may live in applications/kde4/foo.desktop: each dash may stand for a folder.
std::vector<std::string> entryPaths(const std::string& id) {
    std::vector<std::string> candidates{id + ".desktop"};
    std::string nested = id;
    for (auto dash = nested.find('-'); dash != std::string::npos; dash = nested.find('-', dash)) {
        nested[dash] = '/';
        candidates.push_back(nested + ".desktop");
    }
    return candidates;
}

bool isHidden(const std::filesystem::path& entry) {
    const auto content = readFile(entry.string(), 256 * 1024);
    return content && (content->find("\nHidden=true") != std::string::npos ||
                       content->starts_with("Hidden=true"));
}

} // namespace

InstalledApplications InstalledApplications::fromEnvironment() {
    const char* home = std::getenv("HOME");
    const std::string homeDir = home && *home ? home : "";
    std::vector<std::filesystem::path> data;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/')
        data.emplace_back(dataHome);
    else if (!homeDir.empty())
        data.emplace_back(std::filesystem::path(homeDir) / ".local/share");
    for (auto& dir : splitPaths(std::getenv("XDG_DATA_DIRS"), "/usr/local/share:/usr/share"))
        data.push_back(std::move(dir));

    std::vector<std::filesystem::path> flatpaks;
    if (!homeDir.empty())
        flatpaks.emplace_back(std::filesystem::path(homeDir) / ".local/share/flatpak");
    flatpaks.emplace_back("/var/lib/flatpak");
    return InstalledApplications(std::move(data), std::move(flatpaks));
}

bool InstalledApplications::isInstalled(const std::string& id) const {
    if (!isSafeId(id))
        return false;
    std::error_code error;
    for (const auto& directory : dataDirectories_) {
        for (const auto& relative : entryPaths(id)) {
            const auto entry = directory / "applications" / relative;
            // The first directory that has the entry decides, as the desktop does.
            if (std::filesystem::is_regular_file(entry, error))
                return !isHidden(entry);
        }
    }
    for (const auto& installation : flatpakInstallations_)
        if (std::filesystem::is_directory(installation / "app" / id / "current", error))
            return true;
    return false;
}

} // namespace tidemark::linux_proc
