#include "platform/linux/session/SingleInstanceLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace tidemark::linux_platform {

std::optional<SingleInstanceLock> SingleInstanceLock::acquire(const std::filesystem::path& path,
                                                              std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot open " + path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    SingleInstanceLock lock(fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = "Tidemark is already running on this display";
        return std::nullopt;
    }
    return lock;
}

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace tidemark::linux_platform
