#include "preferences/LoginItem.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tidemark {
namespace {

// Records the calls it gets; registration moves the status to `statusAfterRegister`.
class FakeLoginService final : public LoginItemService {
public:
    Status current = Status::NotRegistered;
    Status statusAfterRegister = Status::Enabled;
    std::optional<std::string> registerFailure;
    std::optional<std::string> unregisterFailure;
    std::vector<std::string> calls;

    Status status() const override { return current; }
    std::optional<std::string> registerItem() override {
        calls.push_back("register");
        if (!registerFailure)
            current = statusAfterRegister;
        return registerFailure;
    }
    std::optional<std::string> unregisterItem() override {
        calls.push_back("unregister");
        if (!unregisterFailure)
            current = Status::NotRegistered;
        return unregisterFailure;
    }
};

struct LogEntry {
    std::string subsystem, category, message;
};

class RecordingLog final : public SystemLog {
public:
    std::vector<LogEntry> entries;
    void error(std::string_view subsystem, std::string_view category,
               std::string_view message) override {
        entries.push_back({std::string(subsystem), std::string(category), std::string(message)});
    }
};

TEST(LoginItem, WritesGoThroughTheServiceAndFailuresAreLoggedOnce) {
    using Status = LoginItemService::Status;
    using enum LoginItemService::Status;
    struct Case {
        const char* name;
        Status before;
        bool enable;
        std::optional<std::string> registerFailure, unregisterFailure;
        Status afterRegister;
        std::vector<std::string> calls;
        bool enabledAfter;
        std::optional<std::string> logged;
    };
    // Enabling an enabled item registers it anew, even when unregistering it fails; an item
    // awaiting approval reads as off. `logged` is the reason in the one log line.
    const std::vector<Case> cases{
        {"enable", NotRegistered, true, {}, {}, Enabled, {"register"}, true, {}},
        {"re-enable", Enabled, true, {}, {}, Enabled, {"unregister", "register"}, true, {}},
        {"pending", NotRegistered, true, {}, {}, RequiresApproval, {"register"}, false, {}},
        {"failed enable", NotRegistered, true, "full", {}, Enabled, {"register"}, false, "full"},
        {"refresh fails", Enabled, true, {}, "busy", Enabled, {"unregister", "register"}, true, {}},
        {"disable", Enabled, false, {}, {}, Enabled, {"unregister"}, false, {}},
        {"failed disable", Enabled, false, {}, "locked", Enabled, {"unregister"}, true, "locked"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLoginService service;
        service.current = c.before;
        service.statusAfterRegister = c.afterRegister;
        service.registerFailure = c.registerFailure;
        service.unregisterFailure = c.unregisterFailure;
        RecordingLog log;
        LoginItem item(service, log);
        item.setEnabled(c.enable);
        EXPECT_EQ(service.calls, c.calls);
        EXPECT_EQ(item.isEnabled(), c.enabledAfter);
        if (c.logged) {
            ASSERT_EQ(log.entries.size(), 1u);
            EXPECT_EQ(log.entries[0].message, std::string("Failed to ") +
                                                  (c.enable ? "enable" : "disable") +
                                                  " launch at login: " + *c.logged);
            EXPECT_EQ(log.entries[0].subsystem, "com.quorlin.LoginItem");
            EXPECT_EQ(log.entries[0].category, "main");
        } else {
            EXPECT_TRUE(log.entries.empty());
        }
    }
}

TEST(LoginItem, ObserversHearOfAWriteBeforeItHappens) {
    FakeLoginService service;
    RecordingLog log;
    LoginItem item(service, log);
    std::vector<std::string> seen;
    auto token =
        item.observeWillChange([&] { seen.push_back(service.calls.empty() ? "first" : "late"); });
    item.setEnabled(true);
    EXPECT_EQ(seen, std::vector<std::string>{"first"});
    token.reset();
    item.setEnabled(false);
    EXPECT_EQ(seen.size(), 1u);
}

} // namespace
} // namespace tidemark
