#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The file operations a settings file needs when several processes share it: reading
// without hanging on something that is not a file, an advisory lock beside it, replacement
// by rename that survives a crash at any point, and cleaning up after writers that died.
namespace tidemark::linux_platform::settings_file {

struct ReadResult {
    enum class Status { Read, Missing, CannotOpen };
    Status status = Status::Missing;
    std::string contents; // when read
    std::string error;    // when it cannot be opened: why, e.g. "Permission denied"
};

// Reads a regular file; anything else at the path (a FIFO, a folder, a device) cannot be
// opened, and opening never blocks.
ReadResult read(const std::filesystem::path& file);

// The file a path names after following its symbolic links; the path itself when it is no
// link. A dangling link names the file it points at.
std::filesystem::path resolveLinks(const std::filesystem::path& file);

// An exclusive flock(2) on "<file>.lock", held until destruction. Processes that take it
// before changing the file never lose each other's changes.
class Lock {
public:
    // Blocks until the lock is held; `held()` is false when the lock file cannot be made.
    explicit Lock(const std::filesystem::path& file);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    bool held() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};

// Writes `contents` to "<file>.tmp-<pid>", syncs it, renames it over `file` and syncs the
// folder, so that the file holds either its old or its new contents at every moment. Keeps
// the mode of the file it replaces. Nothing on success, else the reason.
std::optional<std::string> replace(const std::filesystem::path& file, const std::string& contents);

// Removes "<file>.tmp-<pid>" files whose writer no longer runs.
void removeStaleTemporaries(const std::filesystem::path& file);

// Renames a damaged file to "<file>.damaged-<UTC time>" (a name not taken yet) and answers
// the new path. Throws std::filesystem::filesystem_error when it cannot.
std::filesystem::path setAside(const std::filesystem::path& file);

} // namespace tidemark::linux_platform::settings_file
