#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::linux_platform {

// Where the lock of the app on `display` lives: in the user's runtime folder, or in a
// folder of the user's own under /tmp when there is none (`runtimeDir` empty). A '/' in the
// display name (a host path) becomes '_' so that the name stays one file.
std::filesystem::path singleInstanceLockPath(std::string_view runtimeDir, std::string_view display,
                                             unsigned uid);

// One app per user and display: an exclusive flock(2) on a file, held as long as this value
// lives. A process that ends drops it, however it ends.
class SingleInstanceLock {
public:
    // Nothing, with one line in `error`, when the lock is held elsewhere or the file
    // cannot be opened. Makes the folder (owner only) when it is missing.
    static std::optional<SingleInstanceLock> acquire(const std::filesystem::path& path,
                                                     std::string& error);

    SingleInstanceLock(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock& operator=(SingleInstanceLock&&) = delete;
    ~SingleInstanceLock();

private:
    explicit SingleInstanceLock(int fd) : fd_(fd) {}

    int fd_ = -1;
};

} // namespace tidemark::linux_platform
