#include "platform/linux/session/PortalAppearance.h"

#include "platform/linux/PollMainQueue.h"
#include "platform/linux/x11/XSettings.h"
#include "support/TemporaryDirectory.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tidemark::linux_platform {
namespace {

// A session bus of the test's own: a real dbus-daemon on a socket in a temporary folder,
// named by DBUS_SESSION_BUS_ADDRESS while it runs.
class PrivateBus {
public:
    PrivateBus() {
        const auto socket = folder_.path() / "bus";
        address_ = "unix:path=" + socket.string();
        const std::string addressOption = "--address=" + address_;
        // The daemon prints its address once it listens: read up to that line, rather than
        // racing the socket file, which exists before the daemon accepts on it.
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        const char* argv[] = {"dbus-daemon",         "--session",         "--nofork", "--nopidfile",
                              addressOption.c_str(), "--print-address=3", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
        const bool spawned = ::posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr,
                                            const_cast<char**>(argv), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(ready[1]);
        if (!spawned)
            pid_ = 0;
        char c = 0;
        while (spawned && ::read(ready[0], &c, 1) == 1 && c != '\n') {
        }
        ::close(ready[0]);
        if (!spawned)
            return;
        const char* previous = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        previous_ = previous ? std::optional<std::string>(previous) : std::nullopt;
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~PrivateBus() {
        if (previous_)
            ::setenv("DBUS_SESSION_BUS_ADDRESS", previous_->c_str(), 1);
        else
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool running() const { return pid_ > 0 && std::filesystem::exists(folder_.path() / "bus"); }

private:
    testing::TemporaryDirectory folder_;
    std::string address_;
    std::optional<std::string> previous_;
    pid_t pid_ = 0;
};

// The portal's settings interface, served on its own thread: `ReadOne` (or, like portals
// before version 2, only `Read` with a variant inside the variant), and SettingChanged on
// request.
class FakePortal {
public:
    FakePortal(std::uint32_t scheme, bool readOne) : scheme_(scheme) {
        if (sd_bus_open_user(&bus_) < 0 ||
            sd_bus_add_object_vtable(bus_, &slot_, "/org/freedesktop/portal/desktop",
                                     "org.freedesktop.portal.Settings",
                                     readOne ? kReadOneTable : kReadTable, this) < 0 ||
            sd_bus_request_name(bus_, "org.freedesktop.portal.Desktop", 0) < 0)
            return;
        ready_ = true;
        thread_ = std::thread([this] { serve(); });
    }
    ~FakePortal() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        sd_bus_slot_unref(slot_);
        sd_bus_flush_close_unref(bus_);
    }
    bool ready() const { return ready_; }
    void announce(std::string key, std::uint32_t scheme) {
        std::lock_guard lock(mutex_);
        pending_.emplace_back(std::move(key), scheme);
    }

private:
    static int readOne(sd_bus_message* call, void* self, sd_bus_error*) {
        return sd_bus_reply_method_return(call, "v", "u",
                                          static_cast<FakePortal*>(self)->scheme_.load());
    }
    static int read(sd_bus_message* call, void* self, sd_bus_error*) {
        return sd_bus_reply_method_return(call, "v", "v", "u",
                                          static_cast<FakePortal*>(self)->scheme_.load());
    }
    static constexpr sd_bus_vtable kReadOneTable[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_METHOD("ReadOne", "ss", "v", readOne, 0),
        SD_BUS_SIGNAL("SettingChanged", "ssv", 0), SD_BUS_VTABLE_END};
    static constexpr sd_bus_vtable kReadTable[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_METHOD("Read", "ss", "v", read, 0),
        SD_BUS_SIGNAL("SettingChanged", "ssv", 0), SD_BUS_VTABLE_END};

    void serve() {
        while (!stop_) {
            std::vector<std::pair<std::string, std::uint32_t>> pending;
            {
                std::lock_guard lock(mutex_);
                pending.swap(pending_);
            }
            for (const auto& [key, scheme] : pending)
                sd_bus_emit_signal(bus_, "/org/freedesktop/portal/desktop",
                                   "org.freedesktop.portal.Settings", "SettingChanged", "ssv",
                                   "org.freedesktop.appearance", key.c_str(), "u", scheme);
            while (sd_bus_process(bus_, nullptr) > 0) {
            }
            sd_bus_wait(bus_, 20000);
        }
    }

    sd_bus* bus_ = nullptr;
    sd_bus_slot* slot_ = nullptr;
    std::atomic<std::uint32_t> scheme_;
    std::atomic<bool> stop_ = false;
    bool ready_ = false;
    std::mutex mutex_;
    std::vector<std::pair<std::string, std::uint32_t>> pending_;
    std::thread thread_;
};

TEST(PortalAppearance, ReadsThePreferenceAndFollowsItsChangesOnBothKindsOfPortal) {
    for (const bool readOne : {true, false}) {
        SCOPED_TRACE(readOne ? "ReadOne" : "Read only");
        PrivateBus bus;
        if (!bus.running())
            GTEST_SKIP() << "no dbus-daemon";
        FakePortal portal(xsettings::kPortalPrefersDark, readOne);
        ASSERT_TRUE(portal.ready());

        PollMainQueue queue;
        std::vector<std::optional<std::uint32_t>> readings;
        PortalAppearance appearance(queue, [&](auto scheme) { readings.push_back(scheme); });
        ASSERT_TRUE(appearance.start());
        ASSERT_TRUE(queue.runUntil([&] { return readings.size() == 1; }, 5));
        EXPECT_EQ(readings[0], 1u);

        // Another key of the namespace is not ours; the colour scheme is.
        portal.announce("accent-color", 7);
        portal.announce("color-scheme", 2);
        ASSERT_TRUE(queue.runUntil([&] { return readings.size() == 2; }, 5));
        EXPECT_EQ(readings[1], 2u);
        queue.runUntil([] { return false; }, 0.1);
        EXPECT_EQ(readings.size(), 2u);
    }
}

} // namespace
} // namespace tidemark::linux_platform
