#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::linux_platform {

// One app per user and display: an exclusive flock(2) on a file, held as long as this value
// lives. A process that ends drops it, however it ends.
class SingleInstanceLock {
public:
    // Nothing, with one line in `error`, when the lock is held elsewhere or the file
    // cannot be opened. `path` lies in a session folder (SessionFiles.h).
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
