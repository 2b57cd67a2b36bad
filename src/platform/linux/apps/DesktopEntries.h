#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::linux_platform {

// One application's desktop entry (the [Desktop Entry] group only, unlocalised keys).
struct DesktopEntry {
    std::string id; // "org.example.App" for …/applications/org.example.App.desktop
    std::filesystem::path path;
    std::string name;
    std::string icon;
    std::string startupWmClass;
    bool noDisplay = false;
};

// The non-empty items of a list such as "a:b" or "x;y;".
std::vector<std::string_view> listItems(std::string_view list, char separator);

// Calls `visit` with each key and trimmed value of a desktop file's [Desktop Entry] group,
// in file order.
void forEachMainGroupKey(
    std::string_view text,
    const std::function<void(std::string_view key, std::string_view value)>& visit);

// Parses the text of a desktop file; nothing when it is no application entry or is marked
// hidden (deleted). Values are bounded, repaired UTF-8.
std::optional<DesktopEntry> parseDesktopEntry(std::string_view text, std::string id,
                                              std::filesystem::path path);

// The XDG data directories, in the order they decide: $XDG_DATA_HOME (or ~/.local/share),
// then $XDG_DATA_DIRS (or /usr/local/share:/usr/share); relative paths are ignored.
std::vector<std::filesystem::path> applicationDataDirs();

// Where the entry of an id may lie in an applications folder: "a-b-c.desktop", then each
// dash standing for a folder from the left ("a/b-c.desktop", "a/b/c.desktop"), the scan's
// naming of entries in sub-folders read backwards. Nothing for an id that could leave the
// folder.
std::vector<std::string> desktopEntryPaths(std::string_view id);

// The entry the desktop takes for `id` now, read from the files: the first data directory
// that has a file for it decides, and a hidden or non-application entry there means none.
std::optional<DesktopEntry> findDesktopEntry(const std::vector<std::filesystem::path>& dataDirs,
                                             std::string_view id);

// The application entries of the XDG data directories, the first directory winning for an
// id, read once at construction. Identifies X clients by their WM_CLASS.
class DesktopEntries {
public:
    explicit DesktopEntries(
        const std::vector<std::filesystem::path>& dataDirs = applicationDataDirs());

    const DesktopEntry* byId(std::string_view id) const;
    // The Icon= value of the entry with this id, when it has one.
    std::optional<std::string> iconName(std::string_view id) const;
    // The entry for a window's class and instance, in one order: the entry whose
    // StartupWMClass is the class or the instance; else the entry whose id is either (as
    // written, then ignoring case); else the entry whose id's last dotted part is either,
    // ignoring case ("org.gnome.Calculator" for "calculator").
    const DesktopEntry* byWmClass(std::string_view className, std::string_view instanceName) const;
    std::size_t size() const { return entries_.size(); }

private:
    std::map<std::string, DesktopEntry, std::less<>> entries_;
    std::map<std::string, std::string, std::less<>> byStartupClass_;
    std::map<std::string, std::string, std::less<>> byLowerId_;
    std::map<std::string, std::string, std::less<>> byLowerLastPart_;
};

// How the app of a window is known: by the desktop entry that `byWmClass` finds for its X
// class and instance (a Wayland window's app id stands for both), else by the class itself
// (the instance where the class is empty). Nothing when both are empty.
struct AppNaming {
    std::string identifier;
    std::string name;
    std::optional<std::string> entryPath;
    // An entry matched that menus show (no NoDisplay).
    bool listed = false;
};
std::optional<AppNaming> nameApp(const DesktopEntries& entries, std::string_view className,
                                 std::string_view instanceName);

} // namespace tidemark::linux_platform
