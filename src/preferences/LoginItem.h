#pragma once

#include "foundation/NotificationCenter.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark {

// The system's record of whether this program starts when the user logs in.
class LoginItemService {
public:
    enum class Status { NotRegistered, Enabled, RequiresApproval, NotFound };

    virtual ~LoginItemService() = default;
    virtual Status status() const = 0;
    // Nothing on success, else the failure's description.
    virtual std::optional<std::string> registerItem() = 0;
    virtual std::optional<std::string> unregisterItem() = 0;
    // Where the session starts no login items by itself: one line telling the user how to
    // start this program there.
    virtual std::optional<std::string> manualStartHint() const { return std::nullopt; }
};

// Error-level entries of the system log, each with the subsystem and category of its
// writer.
class SystemLog {
public:
    virtual ~SystemLog() = default;
    virtual void error(std::string_view subsystem, std::string_view category,
                       std::string_view message) = 0;
};

// Launch at login: the system holds the state, this reads it back on every read, so a
// switch shows the real state after a write that failed.
class LoginItem {
public:
    static constexpr std::string_view kLogSubsystem = "com.quorlin.LoginItem";
    static constexpr std::string_view kLogCategory = "main";
    static constexpr std::string_view kDefaultToggleLabel = "Launch at login";

    LoginItem(LoginItemService& service, SystemLog& log) : service_(service), log_(log) {}

    bool isEnabled() const;
    std::optional<std::string> manualStartHint() const { return service_.manualStartHint(); }
    // Failures are logged and go no further.
    void setEnabled(bool enabled);

    // Called before every write, so bound controls read the state again afterwards.
    [[nodiscard]] ObservationToken observeWillChange(std::function<void()> handler);

private:
    LoginItemService& service_;
    SystemLog& log_;
    NotificationCenter willChange_;
};

} // namespace tidemark
