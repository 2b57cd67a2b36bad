#include "platform/linux/FileSettingsStore.h"

#include "foundation/PropertyList.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

std::string utcTimestamp() {
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &tm);
    return buffer;
}

std::optional<std::string> readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Moves a damaged file aside under a name that is not taken yet.
std::filesystem::path setAside(const std::filesystem::path& file) {
    const auto base = file.string() + ".damaged-" + utcTimestamp();
    std::filesystem::path target = base;
    for (int n = 1; std::filesystem::exists(target); ++n)
        target = base + "-" + std::to_string(n);
    std::filesystem::rename(file, target);
    return target;
}

ValueDictionary loadOrSetAside(const std::filesystem::path& file,
                               const FileSettingsStore::Reporter& report) {
    const auto text = readFile(file);
    if (!text)
        return {};
    auto value = plist::decode(*text);
    if (value && value->asDictionary())
        return *value->asDictionary();
    std::string line;
    try {
        const auto target = setAside(file);
        line = "tidemark: settings file " + file.string() + " could not be read; moved it to " +
               target.string() + " and started with default settings";
    } catch (const std::filesystem::filesystem_error& e) {
        line = "tidemark: settings file " + file.string() +
               " could not be read and could not be moved aside (" + e.what() +
               "); using default settings and leaving it untouched";
    }
    if (report)
        report(line);
    else
        std::cerr << line << "\n";
    return {};
}

bool writeAtomically(const std::filesystem::path& file, const std::string& contents) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    const auto temporary = file.string() + ".tmp-" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    while (written < contents.size()) {
        const auto n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n <= 0) {
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        written += std::size_t(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed || std::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

FileSettingsStore::FileSettingsStore(std::filesystem::path file, Reporter report)
    : SettingsStore(loadOrSetAside(file, report)), file_(std::move(file)) {}

std::filesystem::path FileSettingsStore::defaultLocation() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".config";
    else
        base = std::filesystem::current_path() / ".config";
    return base / "tidemark" / "defaults.plist";
}

void FileSettingsStore::persist(const ValueDictionary& stored) {
    const auto xml = plist::encodeXml(Value(stored));
    lastWriteSucceeded_ = xml && writeAtomically(file_, *xml);
    if (!lastWriteSucceeded_)
        std::cerr << "tidemark: could not write settings file " << file_.string() << "\n";
}

} // namespace tidemark::linux_platform
