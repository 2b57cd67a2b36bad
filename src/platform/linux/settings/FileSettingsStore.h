#pragma once

#include "foundation/SettingsStore.h"
#include "platform/linux/FdWatcher.h"
#include "platform/linux/settings/WriteInProgress.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tidemark::linux_platform {

// Settings kept in an XML property list on disk, shared with other processes (another
// instance, `tidemark defaults`). Each change takes an advisory lock beside the file, rereads
// it, changes only its own key and replaces the file atomically, so concurrent writers keep
// each other's keys and entries this program does not understand survive as written. A
// symbolic link is followed and its target replaced. A file that cannot be parsed (or nests
// too deep) is moved aside, never overwritten, and the store starts empty; a file that exists
// but cannot be opened is left alone and every write is refused. A file another program has
// just created and is still writing is judged only once it is closed (`WriteInProgress`).
//
// Changes made by other processes arrive through `changeDescriptor` and `reloadIfChanged`,
// or by giving the store to an FdWatcher as its event source.
class FileSettingsStore final : public SettingsStore, public EventSource {
public:
    // Receives each one-line report (a damaged file, a file that cannot be opened or written).
    using Reporter = std::function<void(const std::string&)>;

    explicit FileSettingsStore(std::filesystem::path file, Reporter report = {});
    ~FileSettingsStore() override;
    FileSettingsStore(const FileSettingsStore&) = delete;
    FileSettingsStore& operator=(const FileSettingsStore&) = delete;

    const std::filesystem::path& file() const { return file_; }
    // `tidemark/defaults.plist` in the configuration folder (`configHome`); empty when this
    // user has no home folder, which a store given it reports as its open error.
    static std::filesystem::path defaultLocation();

    // Set when the file existed at construction but could not be opened (no permission, not
    // a regular file), or there is no place for it: the line that was reported. The store
    // then starts empty.
    const std::optional<std::string>& openError() const { return openError_; }
    // False when the last write failed (the in-memory values still changed).
    bool lastWriteSucceeded() const { return lastWriteSucceeded_; }

    // A descriptor that turns readable when the file may have changed; watching starts with
    // the first call. -1 when the folder cannot be watched.
    int changeDescriptor();
    // Without blocking: when the file changed since the last look, rereads it and tells the
    // observers of each key whose value changed. True when it reread. A file still being
    // written keeps the values as they were; the look after its writer closes it, or the
    // grace time's timer among `eventFds()`, judges it.
    bool reloadIfChanged();

    std::vector<int> eventFds() override;
    void dispatchEvents() override { reloadIfChanged(); }

private:
    void persist(std::string_view key, const Value* value) override;
    // The values in the file; nothing when it cannot be opened (reported, and the line kept
    // in `cannotOpenLine` when given).
    // Nothing as well while the file is still being written.
    std::optional<ValueDictionary> load(std::optional<std::string>* cannotOpenLine = nullptr);
    // Wakes the watcher when the write in progress has had its grace time; nothing disarms.
    void lookAgainAt(std::optional<WriteInProgress::Clock::time_point> when);
    void report(const std::string& line) const;

    std::filesystem::path file_;
    Reporter report_;
    std::optional<std::string> openError_;
    bool lastWriteSucceeded_ = true;
    int watchFd_ = -1;
    int timerFd_ = -1; // readable when a write in progress has had its grace time
    bool timerArmed_ = false;
    std::string watchedName_;
    WriteInProgress pendingWrite_;
};

} // namespace tidemark::linux_platform
