#pragma once

#include "foundation/NotificationCenter.h"
#include "foundation/Value.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark {

// Per-user settings with the semantics of the platform's defaults: registered defaults live
// in memory only, are never written, and lose to stored values. This class is the
// in-memory store; persistent stores override `persist`.
class SettingsStore {
public:
    explicit SettingsStore(ValueDictionary stored = {}) : stored_(std::move(stored)) {}
    virtual ~SettingsStore() = default;

    void registerDefaults(const ValueDictionary& defaults);

    // Stored value, else registered default.
    std::optional<Value> object(std::string_view key) const;
    // 0 when absent or not a number (reals truncate, booleans count 0 or 1, numeric text
    // is read).
    std::int64_t integer(std::string_view key) const;
    // false when absent; numbers are true when non-zero; text is true when it says yes or
    // true (in any case) or is a non-zero integer.
    bool boolean(std::string_view key) const;

    // Storing a null value removes the key. Writes reach `persist` only on a change.
    void set(std::string_view key, Value value);
    void remove(std::string_view key);

    const ValueDictionary& storedValues() const { return stored_; }
    const ValueDictionary& registeredDefaults() const { return registered_; }

    // Hears the key of every stored value that changed, whether this process changed it or
    // a persistent store picked up another process's change. Registering defaults is no
    // change. Called on the thread that made the change; the token ends the observation.
    using ChangeObserver = std::function<void(std::string_view key)>;
    [[nodiscard]] ObservationToken observeChanges(ChangeObserver observer);

protected:
    // Called after each change of one stored value: `value` is the new value, null when the
    // key was removed.
    virtual void persist(std::string_view /*key*/, const Value* /*value*/) {}
    // For persistent stores that reread their file: takes `fresh` as the stored values
    // without persisting them, and tells the observers of each key that differs.
    void adoptStoredValues(ValueDictionary fresh);

private:
    void notifyChanged(std::string_view key);

    ValueDictionary stored_;
    ValueDictionary registered_;
    NotificationCenter changes_;
};

} // namespace tidemark
