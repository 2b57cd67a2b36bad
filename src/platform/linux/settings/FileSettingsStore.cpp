#include "platform/linux/settings/FileSettingsStore.h"

#include "foundation/PropertyList.h"
#include "platform/linux/settings/ConfigHome.h"
#include "platform/linux/settings/SettingsFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <sys/inotify.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

using settings_file::ReadResult;

// The settings in `contents`; nothing, with the reason in `fault`, when they are damaged.
std::optional<ValueDictionary> decodeSettings(std::string_view contents, std::string& fault) {
    auto decoded = plist::decodeExplained(contents);
    fault = std::move(decoded.fault);
    if (decoded.value && decoded.value->asDictionary())
        return *decoded.value->asDictionary();
    if (decoded.value)
        fault = "it holds no dictionary";
    return std::nullopt;
}

std::optional<ValueDictionary> decodeSettings(std::string_view contents) {
    std::string ignored;
    return decodeSettings(contents, ignored);
}

std::string cannotOpen(const std::filesystem::path& file, const ReadResult& read) {
    return "cannot open settings file " + file.string() + ": " + read.error;
}

} // namespace

FileSettingsStore::FileSettingsStore(std::filesystem::path file, Reporter report)
    : file_(std::move(file)), report_(std::move(report)) {
    if (file_.empty()) {
        openError_ = noConfigHomeLine();
        this->report(*openError_); // the member: the parameter is moved from
        return;
    }
    if (auto values = load(&openError_))
        adoptStoredValues(std::move(*values));
}

FileSettingsStore::~FileSettingsStore() {
    if (watchFd_ >= 0)
        ::close(watchFd_);
    if (timerFd_ >= 0)
        ::close(timerFd_);
}

std::filesystem::path FileSettingsStore::defaultLocation() {
    const auto home = configHome();
    return home ? *home / "tidemark" / "defaults.plist" : std::filesystem::path();
}

void FileSettingsStore::report(const std::string& line) const {
    if (report_)
        report_(line);
    else
        std::cerr << "tidemark: " << line << "\n";
}

std::optional<ValueDictionary> FileSettingsStore::load(std::optional<std::string>* cannotOpenLine) {
    const auto target = settings_file::resolveLinks(file_);
    auto read = settings_file::read(target);
    if (read.status == ReadResult::Status::CannotOpen) {
        const auto line = cannotOpen(target, read) + "; using default settings";
        report(line);
        if (cannotOpenLine)
            *cannotOpenLine = line;
        return std::nullopt;
    }
    if (read.status == ReadResult::Status::Missing)
        return ValueDictionary{};
    if (auto values = decodeSettings(read.contents))
        return values;
    if (const auto now = WriteInProgress::Clock::now();
        pendingWrite_.stillWriting(read.contents.size(), now)) {
        lookAgainAt(pendingWrite_.deadline());
        return std::nullopt;
    }
    // Damaged as read; a writer may just have replaced it, so look again under the lock
    // before moving anything aside.
    std::string line;
    try {
        const settings_file::Lock lock(target);
        read = settings_file::read(target);
        if (read.status == ReadResult::Status::Missing)
            return ValueDictionary{};
        std::string fault = read.error;
        if (auto values = read.status == ReadResult::Status::Read
                              ? decodeSettings(read.contents, fault)
                              : std::nullopt)
            return values;
        const auto aside = settings_file::setAside(target);
        line = "settings file " + target.string() + " could not be read (" + fault +
               "); moved it to " + aside.string() + " and started with default settings";
    } catch (const std::filesystem::filesystem_error& e) {
        line = "settings file " + target.string() +
               " could not be read and could not be moved aside (" + e.what() +
               "); using default settings and leaving it untouched";
    }
    report(line);
    return ValueDictionary{};
}

void FileSettingsStore::persist(std::string_view key, const Value* value) {
    if (file_.empty()) {
        lastWriteSucceeded_ = false;
        return; // said once, when the store was made
    }
    const auto target = settings_file::resolveLinks(file_);
    const auto fail = [&](const std::string& why) {
        lastWriteSucceeded_ = false;
        report("could not write settings file " + target.string() + ": " + why);
    };
    std::optional<ValueDictionary> fresh;
    {
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
        const settings_file::Lock lock(target);
        if (!lock.held())
            return fail(lock.error());
        settings_file::removeStaleTemporaries(target);
        const auto read = settings_file::read(target);
        if (read.status == ReadResult::Status::CannotOpen)
            return fail(read.error);
        std::string document;
        if (read.status == ReadResult::Status::Read) {
            std::string fault;
            if (decodeSettings(read.contents, fault)) {
                document = read.contents;
            } else {
                try {
                    const auto aside = settings_file::setAside(target);
                    report("settings file " + target.string() + " could not be read (" + fault +
                           "); moved it to " + aside.string());
                } catch (const std::filesystem::filesystem_error& e) {
                    return fail(std::string("it is damaged and could not be moved aside (") +
                                e.what() + ")");
                }
            }
        }
        if (document.empty() && !value) {
            lastWriteSucceeded_ = true;
            return; // nothing stored, nothing to remove
        }
        const auto edited = plist::withKey(document, key, value);
        if (!edited)
            return fail("the value has no property-list form");
        if (*edited != document) {
            if (const auto error = settings_file::replace(target, *edited))
                return fail(*error);
        }
        lastWriteSucceeded_ = true;
        fresh = decodeSettings(*edited);
    }
    // Outside the lock: observers told of other writers' keys may write settings themselves.
    if (fresh)
        adoptStoredValues(std::move(*fresh));
}

int FileSettingsStore::changeDescriptor() {
    if (watchFd_ >= 0 || file_.empty())
        return watchFd_;
    const auto target = settings_file::resolveLinks(file_);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return -1;
    // The folder, not the file: writers replace the file by renaming a new one over it.
    constexpr auto kEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE |
                             IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
    if (::inotify_add_watch(fd, target.parent_path().c_str(), kEvents) < 0) {
        ::close(fd);
        return -1;
    }
    watchFd_ = fd;
    watchedName_ = target.filename().string();
    timerFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    return watchFd_;
}

std::vector<int> FileSettingsStore::eventFds() {
    std::vector<int> fds;
    if (const int fd = changeDescriptor(); fd >= 0)
        fds.push_back(fd);
    if (timerFd_ >= 0)
        fds.push_back(timerFd_);
    return fds;
}

void FileSettingsStore::lookAgainAt(std::optional<WriteInProgress::Clock::time_point> when) {
    if (timerFd_ < 0 || (!when && !timerArmed_))
        return;
    itimerspec at{}; // all zero: disarmed
    if (when) {
        // The steady clock is CLOCK_MONOTONIC, which the timer counts in.
        const auto sinceBoot =
            std::chrono::duration_cast<std::chrono::nanoseconds>(when->time_since_epoch());
        at.it_value.tv_sec = sinceBoot.count() / 1'000'000'000;
        at.it_value.tv_nsec = std::max<long>(sinceBoot.count() % 1'000'000'000, 1);
    }
    timerArmed_ = ::timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &at, nullptr) == 0 && when;
}

bool FileSettingsStore::reloadIfChanged() {
    if (watchFd_ < 0)
        return false;
    bool changed = false;
    if (std::uint64_t expirations = 0;
        timerArmed_ && ::read(timerFd_, &expirations, sizeof expirations) > 0) {
        timerArmed_ = false;
        changed = true; // a write in progress had its grace time
    }
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const auto n = ::read(watchFd_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (std::size_t at = 0; at + sizeof(inotify_event) <= std::size_t(n);) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            const std::string_view name =
                event->len ? std::string_view(event->name, std::strlen(event->name)) : "";
            if ((event->mask & IN_Q_OVERFLOW) || name == watchedName_)
                changed = true;
            if (name == watchedName_) {
                // A file created in place is written after it appears; one renamed in is whole.
                if (event->mask & IN_CREATE)
                    pendingWrite_.created(WriteInProgress::Clock::now());
                else if (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE))
                    pendingWrite_.settled();
            }
            at += sizeof(inotify_event) + event->len;
        }
    }
    if (!pendingWrite_.deadline())
        lookAgainAt(std::nullopt); // an earlier write's timer would judge a later one early
    if (!changed)
        return false;
    if (auto values = load())
        adoptStoredValues(std::move(*values));
    return true;
}

} // namespace tidemark::linux_platform
