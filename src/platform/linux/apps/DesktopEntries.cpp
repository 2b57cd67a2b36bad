#include "platform/linux/apps/DesktopEntries.h"

#include "foundation/Text.h"

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace tidemark::linux_platform {

namespace {

constexpr std::size_t kMaxFileBytes = 256 * 1024;
constexpr std::size_t kMaxValueBytes = 512;
constexpr std::size_t kMaxEntries = 20000;

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string lowerAscii(std::string_view s) {
    std::string result(s);
    for (auto& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string lastDottedPart(std::string_view id) {
    const auto dot = id.rfind('.');
    return std::string(dot == std::string_view::npos ? id : id.substr(dot + 1));
}

// Directories by device and inode: a link back up the tree (`l -> .`) or a second path to
// one folder is read once, not once per route to it.
using VisitedDirectories = std::set<std::pair<dev_t, ino_t>>;

void scanDirectory(const std::filesystem::path& dir, const std::string& prefix,
                   std::map<std::string, DesktopEntry, std::less<>>& entries, int depth,
                   VisitedDirectories& visited) {
    std::error_code error;
    if (depth > 4 || entries.size() >= kMaxEntries)
        return;
    struct stat status {};
    if (::stat(dir.c_str(), &status) != 0 || !visited.emplace(status.st_dev, status.st_ino).second)
        return;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
         it.increment(error)) {
        const auto& path = it->path();
        const auto name = path.filename().string();
        if (it->is_directory(error)) {
            scanDirectory(path, prefix + name + "-", entries, depth + 1, visited);
            continue;
        }
        if (!name.ends_with(".desktop") || !it->is_regular_file(error))
            continue;
        const auto id = prefix + name.substr(0, name.size() - 8);
        if (entries.contains(id))
            continue;
        if (it->file_size(error) > kMaxFileBytes || error)
            continue;
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (auto entry = parseDesktopEntry(text.str(), id, path))
            entries.emplace(id, std::move(*entry));
        else
            // A hidden entry still shadows the same id in later directories.
            entries.emplace(id, DesktopEntry{id, {}, {}, {}, {}, true});
    }
}

} // namespace

std::vector<std::string_view> listItems(std::string_view list, char separator) {
    std::vector<std::string_view> items;
    while (!list.empty()) {
        const auto end = list.find(separator);
        if (const auto item = list.substr(0, end); !item.empty())
            items.push_back(item);
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    }
    return items;
}

void forEachMainGroupKey(
    std::string_view text,
    const std::function<void(std::string_view key, std::string_view value)>& visit) {
    bool inGroup = false;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        auto line = trim(text.substr(0, newline));
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inGroup)
            continue;
        if (const auto equals = line.find('='); equals != std::string_view::npos)
            visit(trim(line.substr(0, equals)), trim(line.substr(equals + 1)));
    }
}

std::optional<DesktopEntry> parseDesktopEntry(std::string_view text, std::string id,
                                              std::filesystem::path path) {
    DesktopEntry entry;
    entry.id = text::boundedUtf8(id, kMaxValueBytes);
    entry.path = std::move(path);
    bool isApplication = false;
    bool hidden = false;
    forEachMainGroupKey(text, [&](std::string_view key, std::string_view raw) {
        const auto value = text::boundedUtf8(raw, kMaxValueBytes);
        if (key == "Type")
            isApplication = value == "Application";
        else if (key == "Name")
            entry.name = text::boundedName(value, kMaxValueBytes);
        else if (key == "Icon")
            entry.icon = value;
        else if (key == "StartupWMClass")
            entry.startupWmClass = value;
        else if (key == "NoDisplay")
            entry.noDisplay = value == "true";
        else if (key == "Hidden")
            hidden = value == "true";
    });
    if (!isApplication || hidden)
        return std::nullopt;
    if (entry.name.empty())
        entry.name = entry.id;
    return entry;
}

std::vector<std::filesystem::path> applicationDataDirs() {
    std::vector<std::filesystem::path> dirs;
    if (const char* home = std::getenv("XDG_DATA_HOME"); home && *home == '/')
        dirs.emplace_back(home);
    else if (const char* user = std::getenv("HOME"); user && *user == '/')
        dirs.emplace_back(std::filesystem::path(user) / ".local/share");
    std::string list = "/usr/local/share:/usr/share";
    if (const char* data = std::getenv("XDG_DATA_DIRS"); data && *data)
        list = data;
    for (const auto part : listItems(list, ':'))
        if (part.front() == '/')
            dirs.emplace_back(std::string(part));
    return dirs;
}

std::vector<std::string> desktopEntryPaths(std::string_view id) {
    if (id.empty() || id == "." || id == ".." || id.find('/') != std::string_view::npos ||
        id.find('\0') != std::string_view::npos)
        return {};
    std::vector<std::string> paths{std::string(id) + ".desktop"};
    std::string nested(id);
    for (auto dash = nested.find('-'); dash != std::string::npos; dash = nested.find('-', dash)) {
        nested[dash] = '/';
        paths.push_back(nested + ".desktop");
    }
    return paths;
}

std::optional<DesktopEntry> findDesktopEntry(const std::vector<std::filesystem::path>& dataDirs,
                                             std::string_view id) {
    std::error_code error;
    for (const auto& dir : dataDirs) {
        for (const auto& relative : desktopEntryPaths(id)) {
            const auto path = dir / "applications" / relative;
            if (!std::filesystem::is_regular_file(path, error))
                continue;
            // As the scan does: a file it would not read shadows nothing.
            if (std::filesystem::file_size(path, error) > kMaxFileBytes || error)
                continue;
            std::ifstream in(path, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            return parseDesktopEntry(text.str(), std::string(id), path);
        }
    }
    return std::nullopt;
}

DesktopEntries::DesktopEntries(const std::vector<std::filesystem::path>& dataDirs) {
    VisitedDirectories visited;
    for (const auto& dir : dataDirs)
        scanDirectory(dir / "applications", "", entries_, 0, visited);
    // Drop the placeholders of hidden entries now that shadowing is settled.
    std::erase_if(entries_, [](const auto& item) { return item.second.path.empty(); });
    for (const auto& [id, entry] : entries_) {
        if (!entry.startupWmClass.empty())
            byStartupClass_.emplace(entry.startupWmClass, id);
        byLowerId_.emplace(lowerAscii(id), id);
        byLowerLastPart_.emplace(lowerAscii(lastDottedPart(id)), id);
    }
}

std::optional<std::string> DesktopEntries::iconName(std::string_view id) const {
    const auto* entry = byId(id);
    if (!entry || entry->icon.empty())
        return std::nullopt;
    return entry->icon;
}

const DesktopEntry* DesktopEntries::byId(std::string_view id) const {
    const auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : &it->second;
}

const DesktopEntry* DesktopEntries::byWmClass(std::string_view className,
                                              std::string_view instanceName) const {
    const auto lookUp = [&](const auto& find) -> const DesktopEntry* {
        for (const auto name : {className, instanceName})
            if (!name.empty())
                if (const auto* entry = find(name))
                    return entry;
        return nullptr;
    };
    const auto in = [this](const std::map<std::string, std::string, std::less<>>& index,
                           std::string_view name) -> const DesktopEntry* {
        const auto it = index.find(name);
        return it == index.end() ? nullptr : byId(it->second);
    };
    if (const auto* entry = lookUp([&](auto name) { return in(byStartupClass_, name); }))
        return entry;
    if (const auto* entry = lookUp([&](auto name) { return byId(name); }))
        return entry;
    if (const auto* entry = lookUp([&](auto name) { return in(byLowerId_, lowerAscii(name)); }))
        return entry;
    return lookUp([&](auto name) { return in(byLowerLastPart_, lowerAscii(name)); });
}

std::optional<AppNaming> nameApp(const DesktopEntries& entries, std::string_view className,
                                 std::string_view instanceName) {
    if (className.empty() && instanceName.empty())
        return std::nullopt;
    if (const auto* entry = entries.byWmClass(className, instanceName))
        return AppNaming{entry->id, entry->name, entry->path.string(), !entry->noDisplay};
    const std::string name(className.empty() ? instanceName : className);
    return AppNaming{name, name, std::nullopt, false};
}

} // namespace tidemark::linux_platform
