#include "platform/linux/settings/SettingsFile.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tidemark::linux_platform::settings_file {
namespace {

// Closes a descriptor on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and answers whether that worked: a late write error shows up here.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string utcTimestamp() {
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &tm);
    return buffer;
}

std::string temporaryPrefix(const std::filesystem::path& file) {
    return file.filename().string() + ".tmp-";
}

bool writeAll(int fd, const std::string& contents) {
    std::size_t written = 0;
    while (written < contents.size()) {
        const auto n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += std::size_t(n);
    }
    return true;
}

} // namespace

ReadResult read(const std::filesystem::path& file) {
    // Non-blocking, so that a FIFO does not wait for a writer; refused below.
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return {};
        return {ReadResult::Status::CannotOpen, {}, std::strerror(errno)};
    }
    struct stat facts {};
    if (::fstat(fd.get(), &facts) != 0)
        return {ReadResult::Status::CannotOpen, {}, std::strerror(errno)};
    if (!S_ISREG(facts.st_mode))
        return {ReadResult::Status::CannotOpen, {}, "not a regular file"};
    ReadResult result{ReadResult::Status::Read, {}, {}};
    char buffer[65536];
    for (;;) {
        const auto n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {ReadResult::Status::CannotOpen, {}, std::strerror(errno)};
        if (n == 0)
            return result;
        result.contents.append(buffer, std::size_t(n));
    }
}

std::filesystem::path resolveLinks(const std::filesystem::path& file) {
    std::filesystem::path current = file;
    // As many hops as the kernel follows before it gives up on a loop.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, ec)))
            return current;
        const auto target = std::filesystem::read_symlink(current, ec);
        if (ec)
            return current;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;
}

Lock::Lock(const std::filesystem::path& file) {
    const auto lockFile = file.string() + ".lock";
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        error_ = "cannot create lock file " + lockFile + ": " + std::strerror(errno);
        return;
    }
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            error_ = "cannot lock " + lockFile + ": " + std::strerror(errno);
            ::close(fd_);
            fd_ = -1;
            return;
        }
    }
}

Lock::~Lock() {
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}

std::optional<std::string> replace(const std::filesystem::path& file, const std::string& contents) {
    const auto folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    const auto temporary = folder / (temporaryPrefix(file) + std::to_string(::getpid()));
    mode_t mode = 0600;
    if (struct stat facts{}; ::stat(file.c_str(), &facts) == 0)
        mode = facts.st_mode & 07777;
    Descriptor fd(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (fd.get() < 0)
        return "cannot create " + temporary.string() + ": " + std::strerror(errno);
    const auto fail = [&](const char* step) {
        const std::string reason = std::string(step) + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return reason;
    };
    if (::fchmod(fd.get(), mode) != 0)
        return fail("cannot set the mode of the new file");
    if (!writeAll(fd.get(), contents))
        return fail("cannot write the new file");
    if (::fsync(fd.get()) != 0)
        return fail("cannot sync the new file");
    if (!fd.close())
        return fail("cannot close the new file");
    if (std::rename(temporary.c_str(), file.c_str()) != 0)
        return fail("cannot replace the file");
    // The rename itself is durable only once the folder is synced.
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0 || ::fsync(dir.get()) != 0)
        return std::string("cannot sync the folder: ") + std::strerror(errno);
    return std::nullopt;
}

void removeStaleTemporaries(const std::filesystem::path& file) {
    const auto prefix = temporaryPrefix(file);
    std::error_code ec;
    const auto folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const auto name = entry.path().filename().string();
        if (!name.starts_with(prefix))
            continue;
        const auto digits = std::string_view(name).substr(prefix.size());
        pid_t pid = 0;
        const auto [end, parseError] =
            std::from_chars(digits.data(), digits.data() + digits.size(), pid);
        if (parseError != std::errc() || end != digits.data() + digits.size() || pid <= 0)
            continue;
        if (pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH))
            std::filesystem::remove(entry.path(), ec);
    }
}

std::filesystem::path setAside(const std::filesystem::path& file) {
    const auto base = file.string() + ".damaged-" + utcTimestamp();
    std::filesystem::path target = base;
    for (int n = 1; std::filesystem::exists(std::filesystem::symlink_status(target)); ++n)
        target = base + "-" + std::to_string(n);
    std::filesystem::rename(file, target);
    return target;
}

} // namespace tidemark::linux_platform::settings_file
