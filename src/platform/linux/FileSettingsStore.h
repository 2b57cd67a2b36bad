#pragma once

#include "foundation/SettingsStore.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tidemark::linux_platform {

// Settings kept in an XML property list on disk. Loaded once at construction; every change
// is written at once, atomically. A file that cannot be parsed is moved aside, never
// overwritten, and the store starts empty.
class FileSettingsStore final : public SettingsStore {
public:
    // Receives the one line that reports a damaged file.
    using Reporter = std::function<void(const std::string&)>;

    explicit FileSettingsStore(std::filesystem::path file, Reporter report = {});

    const std::filesystem::path& file() const { return file_; }
    // `$XDG_CONFIG_HOME/tidemark/defaults.plist`, or under `~/.config` when unset.
    static std::filesystem::path defaultLocation();

    // False when the last write failed (the in-memory values still changed).
    bool lastWriteSucceeded() const { return lastWriteSucceeded_; }

private:
    void persist(const ValueDictionary& stored) override;

    std::filesystem::path file_;
    bool lastWriteSucceeded_ = true;
};

} // namespace tidemark::linux_platform
