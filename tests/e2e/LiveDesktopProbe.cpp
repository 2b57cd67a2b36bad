// Checks the X11 adapters against the live session the calling script started. The script
// says what it expects through the environment; a test whose inputs are absent is skipped.
#include "foundation/Text.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/linux/x11/PropertyValue.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;
#include <sstream>

namespace tidemark::linux_platform {
namespace {

using Kind = WorkspaceEventKind;

std::optional<std::string> env(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return std::nullopt;
    return std::string(value);
}

// "pid:space+space;pid:space" — each client's real pid and the spaces its window is on.
std::vector<std::pair<std::int32_t, std::set<std::int64_t>>>
expectedWindows(const char* variable = "E2E_WINDOWS") {
    std::vector<std::pair<std::int32_t, std::set<std::int64_t>>> result;
    std::stringstream all(env(variable).value_or(""));
    std::string item;
    while (std::getline(all, item, ';')) {
        const auto colon = item.find(':');
        std::set<std::int64_t> spaces;
        std::stringstream list(item.substr(colon + 1));
        std::string space;
        while (std::getline(list, space, '+'))
            spaces.insert(std::stoll(space));
        result.emplace_back(std::stoi(item.substr(0, colon)), spaces);
    }
    return result;
}

bool isValidUtf8(const std::string& s) {
    return text::repairUtf8(s) == s;
}

// The first window of the window list that `pid` owns.
std::optional<WindowInfo> windowOf(LinuxPlatform& platform, std::int32_t pid) {
    const auto list = platform.windowServer.windows();
    if (!list)
        return std::nullopt;
    const auto found = std::find_if(list->windows.begin(), list->windows.end(),
                                    [pid](const WindowInfo& w) { return w.ownerPid == pid; });
    if (found == list->windows.end() || !found->number)
        return std::nullopt;
    return *found;
}

struct LiveFixture : ::testing::Test {
    void SetUp() override {
        if (!env("DISPLAY"))
            GTEST_SKIP() << "no X display";
        std::string error;
        platform = LinuxPlatform::open(mainQueue, error);
        ASSERT_TRUE(platform) << error;
    }
    PollMainQueue mainQueue;
    std::unique_ptr<LinuxPlatform> platform;
};

TEST_F(LiveFixture, WindowListNamesRealOwnersAndTheirSpaces) {
    auto expected = expectedWindows();
    if (expected.empty())
        GTEST_SKIP() << "E2E_WINDOWS not given";
    // Hidden windows too are windows of their apps: on a space that no display shows.
    for (auto& hidden : expectedWindows("E2E_SCRATCHPAD"))
        expected.push_back(std::move(hidden));
    const auto list = platform->windowServer.windows();
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->spacesKnown);

    std::set<std::int32_t> owners;
    for (const auto& window : list->windows) {
        ASSERT_TRUE(window.number);
        ASSERT_TRUE(window.layer && window.layer->integral);
        ASSERT_TRUE(window.alpha);
        ASSERT_TRUE(window.size);
        if (!window.ownerPid)
            continue;
        owners.insert(*window.ownerPid);
        for (const auto& [expectedPid, expectedSpaces] : expected) {
            if (expectedPid != *window.ownerPid)
                continue;
            std::set<std::int64_t> got;
            for (const auto& space : window.spaces) {
                ASSERT_TRUE(space) << "window of pid " << expectedPid;
                got.insert(*space);
            }
            EXPECT_EQ(got, expectedSpaces) << "window of pid " << expectedPid;
        }
    }
    for (const auto& [pid, spaces] : expected)
        EXPECT_TRUE(owners.contains(pid)) << "no window owned by pid " << pid;
    if (const auto forged = env("E2E_FORGED_PID")) {
        EXPECT_FALSE(owners.contains(std::stoi(*forged))) << "a forged _NET_WM_PID was believed";
    }
}

TEST_F(LiveFixture, RunningApplicationsAreTheClientsWithSaneText) {
    const auto expected = expectedWindows();
    if (expected.empty())
        GTEST_SKIP() << "E2E_WINDOWS not given";
    const auto apps = platform->workspace.runningApplications();
    for (const auto& [pid, spaces] : expected) {
        const auto app = std::find_if(apps.begin(), apps.end(),
                                      [pid = pid](const auto& a) { return a.pid == pid; });
        ASSERT_NE(app, apps.end()) << "pid " << pid;
        ASSERT_TRUE(app->bundleIdentifier);
        ASSERT_TRUE(app->localizedName);
        EXPECT_TRUE(isValidUtf8(*app->bundleIdentifier));
        EXPECT_TRUE(isValidUtf8(*app->localizedName));
        EXPECT_LE(app->bundleIdentifier->size(), 256u);
        EXPECT_FALSE(app->hidden);
        EXPECT_EQ(app->activationPolicy, ActivationPolicy::Regular);
    }
    if (const auto forged = env("E2E_FORGED_PID")) {
        for (const auto& app : apps)
            EXPECT_NE(app.pid, std::stoi(*forged));
    }
}

// Space-separated pids.
std::set<std::int32_t> pidList(const char* variable) {
    std::set<std::int32_t> pids;
    std::stringstream list(env(variable).value_or(""));
    for (std::int32_t pid = 0; list >> pid;)
        pids.insert(pid);
    return pids;
}

// The leftovers the script planted are listed and end when cleaned; the desktop programs it
// started are never listed. Only the planted ones are cleaned: this machine may run other
// leftovers, which are not this test's to end.
TEST_F(LiveFixture, CleanerFindsAndEndsPlantedLeftovers) {
    const auto planted = pidList("E2E_CLEANER_PLANTED");
    const auto spared = pidList("E2E_CLEANER_SPARED");
    if (planted.empty())
        GTEST_SKIP() << "E2E_CLEANER_PLANTED not given";
    const auto found = platform->cleaner.findResidualProcesses();
    std::vector<ResidualProcess> ours;
    for (const auto& process : found) {
        EXPECT_FALSE(spared.contains(process.id)) << process.name << " " << process.id;
        if (planted.contains(process.id)) {
            EXPECT_EQ(process.parentApp, "Google Chrome") << process.name;
            ours.push_back(process);
        }
    }
    ASSERT_EQ(ours.size(), planted.size());
    for (const auto outcome : platform->cleaner.terminate(ours))
        EXPECT_NE(outcome, TerminationOutcome::Refused);
    // Killed processes are reaped by their parent (init, for these), which may lag: wait for it.
    for (const auto& process : ours) {
        for (int tries = 0; tries < 100 && platform->kernel.startTime(process.id); ++tries)
            ::usleep(50'000);
        EXPECT_FALSE(platform->kernel.startTime(process.id)) << process.name << " survived";
    }
    for (const std::int32_t pid : spared)
        EXPECT_TRUE(platform->kernel.startTime(pid)) << pid << " was ended";
}

TEST_F(LiveFixture, I3RestartIsPickedUpAgain) {
    if (!env("I3SOCK"))
        GTEST_SKIP() << "no i3";
    ASSERT_EQ(platform->windowServer.mode(), linux_platform::X11WindowServer::Mode::I3);
    int spaceChanges = 0;
    auto token = platform->workspace.events().addObserver(
        Kind::ActiveSpaceChanged, [&](const WorkspaceEvent&) { ++spaceChanges; });
    platform->workspace.startObserving();

    ASSERT_EQ(std::system("i3-msg -q restart"), 0);
    // The new i3 is announced as a change of the active space once it answers again.
    ASSERT_TRUE(mainQueue.runUntil([&] { return spaceChanges > 0; }, 10));
    const auto displays = platform->windowServer.displays();
    ASSERT_TRUE(displays);
    EXPECT_EQ(displays->size(), 2u);

    const int before = spaceChanges;
    ASSERT_EQ(std::system("i3-msg -q workspace 3"), 0);
    EXPECT_TRUE(mainQueue.runUntil([&] { return spaceChanges > before; }, 5));
}

// Stops the process it names when the test ends, however it ends.
struct ChildProcess {
    pid_t pid = 0;
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    explicit ChildProcess(const char* program) {
        char* argv[] = {const_cast<char*>(program), nullptr};
        if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0)
            pid = 0;
    }
    void stop() {
        // A child that already left is reaped here; kill then finds nothing to signal.
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
            pid = 0;
        }
    }
    ~ChildProcess() { stop(); }
};

// In a forked child: makes `count` client windows on a connection of its own and waits to be
// ended.
[[noreturn]] void holdWindows(int count) {
    xcb_connection_t* own = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(own))
        ::_exit(1);
    const auto* screen = xcb_setup_roots_iterator(xcb_get_setup(own)).data;
    for (int i = 0; i < count; ++i) {
        const auto window = xcb_generate_id(own);
        xcb_create_window(own, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        const char wmClass[] = "probe\0TidemarkProbe";
        xcb_change_property(own, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                            8, sizeof wmClass, wmClass);
        xcb_map_window(own, window);
    }
    xcb_flush(own);
    for (;;)
        ::pause();
}

// Every app event the workspace posts, as its kind and the app's pid.
struct AppEventLog {
    explicit AppEventLog(Workspace& workspace)
        : token(workspace.events().addObserverForAll([this](const WorkspaceEvent& event) {
              if (event.app)
                  events.emplace_back(event.kind, event.app->pid);
          })) {}
    bool saw(WorkspaceEventKind kind, std::int32_t pid) const {
        return std::find(events.begin(), events.end(), std::pair(kind, pid)) != events.end();
    }

    std::vector<std::pair<WorkspaceEventKind, std::int32_t>> events;
    ObservationToken token;
};

TEST_F(LiveFixture, AppNotificationsFollowTheClients) {
    if (!env("E2E_APP_EVENTS"))
        GTEST_SKIP() << "E2E_APP_EVENTS not given";
    AppEventLog seen(platform->workspace);
    platform->workspace.startObserving();
    auto& queue = mainQueue;

    ChildProcess client("xlogo");
    ASSERT_GT(client.pid, 0);
    ASSERT_TRUE(queue.runUntil([&] { return seen.saw(Kind::AppLaunched, client.pid); }, 10));

    const auto window = windowOf(*platform, client.pid);
    ASSERT_TRUE(window);
    const auto id = std::to_string(*window->number);
    ASSERT_EQ(std::system(("xdotool windowminimize " + id).c_str()), 0);
    EXPECT_TRUE(queue.runUntil([&] { return seen.saw(Kind::AppHidden, client.pid); }, 10));
    ASSERT_EQ(std::system(("wmctrl -i -a " + id).c_str()), 0);
    EXPECT_TRUE(queue.runUntil([&] { return seen.saw(Kind::AppUnhidden, client.pid); }, 10));
    EXPECT_TRUE(queue.runUntil([&] { return seen.saw(Kind::AppActivated, client.pid); }, 10));

    // A polite quit closes the windows; the client leaves and is reported terminated.
    const auto pid = client.pid;
    EXPECT_TRUE(platform->workspace.terminate(pid));
    EXPECT_TRUE(queue.runUntil([&] { return seen.saw(Kind::AppTerminated, pid); }, 10));
    // Gone now: nothing to close, and nothing is said to be sent.
    EXPECT_FALSE(platform->workspace.terminate(pid));

    // The whole quit procedure over this machine: the polite close is delivered, so the
    // client ends on its own and no signal follows.
    ChildProcess second("xlogo");
    ASSERT_TRUE(queue.runUntil([&] { return seen.saw(Kind::AppLaunched, second.pid); }, 10));
    platform->appActions.terminateApp(second.pid);
    int status = 0;
    ASSERT_EQ(::waitpid(second.pid, &status, 0), second.pid);
    EXPECT_FALSE(WIFSIGNALED(status)) << "signal " << WTERMSIG(status);
    second.pid = 0;
}

// Requests sent on a connection: each takes the next sequence number, and a no-operation
// request reads it.
class RequestCount {
public:
    explicit RequestCount(xcb_connection_t* x) : x_(x), mark_(xcb_no_operation(x).sequence) {}
    // Requests since the last call (or construction), not counting its own.
    unsigned sinceLast() {
        const unsigned now = xcb_no_operation(x_).sequence;
        return now - std::exchange(mark_, now) - 1;
    }

private:
    xcb_connection_t* x_;
    unsigned mark_;
};

// The workspace's table follows clients coming, going and moving from the events alone:
// answers cost no request, and a change asks about the changed window only, never again
// about the dozens that stay.
TEST_F(LiveFixture, AppTableFollowsClientsWithoutRereadingThem) {
    if (!env("E2E_APP_TABLE"))
        GTEST_SKIP() << "E2E_APP_TABLE not given";
    auto& workspace = platform->workspace;
    AppEventLog seen(workspace);
    const auto lists = [&](std::int32_t pid) {
        const auto apps = workspace.sharedRunningApplications();
        return std::any_of(apps->begin(), apps->end(),
                           [pid](const auto& a) { return a.pid == pid; });
    };
    workspace.startObserving();

    // Many windows of another process, so that rereading every client would show.
    constexpr int kOwnerWindows = 60;
    ChildProcess owner;
    owner.pid = ::fork();
    if (owner.pid == 0)
        holdWindows(kOwnerWindows);
    ASSERT_GT(owner.pid, 0);
    const auto clientCount = [&] {
        return rootWindowList(*platform->x, platform->x->ewmh()._NET_CLIENT_LIST).size();
    };
    ASSERT_TRUE(mainQueue.runUntil([&] { return clientCount() >= kOwnerWindows; }, 10));
    ASSERT_TRUE(mainQueue.runUntil([&] { return lists(owner.pid); }, 10));
    mainQueue.runUntil([] { return false; }, 0.5);
    const auto clients = clientCount();

    RequestCount requests(platform->x->raw());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lists(owner.pid));
    EXPECT_EQ(requests.sinceLast(), 0u) << "answers come from the table";

    // A new client is read on its own.
    ChildProcess client("xlogo");
    ASSERT_GT(client.pid, 0);
    ASSERT_TRUE(mainQueue.runUntil([&] { return seen.saw(Kind::AppLaunched, client.pid); }, 10));
    mainQueue.runUntil([] { return false; }, 0.5);
    EXPECT_LT(requests.sinceLast(), clients) << "a new client made the table reread the others";
    EXPECT_TRUE(lists(client.pid));
    EXPECT_EQ(requests.sinceLast(), 0u);

    // Moved to another desktop: still listed, on its new space, without rereading anyone.
    const auto window = windowOf(*platform, client.pid);
    ASSERT_TRUE(window);
    requests.sinceLast();
    ASSERT_EQ(std::system(("wmctrl -i -r " + std::to_string(*window->number) + " -t 2").c_str()),
              0);
    mainQueue.runUntil([] { return false; }, 0.5);
    EXPECT_LT(requests.sinceLast(), clients) << "a move made the table reread the clients";
    EXPECT_TRUE(lists(client.pid));
    const auto moved = windowOf(*platform, client.pid);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->spaces, std::vector<std::optional<SpaceId>>{3});
    requests.sinceLast();

    // Gone: reported and dropped, again without a reread.
    const auto pid = client.pid;
    client.stop();
    ASSERT_TRUE(mainQueue.runUntil([&] { return seen.saw(Kind::AppTerminated, pid); }, 10));
    EXPECT_LT(requests.sinceLast(), clients) << "a client leaving made the table reread the rest";
    EXPECT_FALSE(lists(pid));
    const auto ownerPid = owner.pid;
    owner.stop();
    EXPECT_TRUE(mainQueue.runUntil([&] { return seen.saw(Kind::AppTerminated, ownerPid); }, 10));
    EXPECT_FALSE(lists(ownerPid));
}

// The resident set in bytes.
std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * std::size_t(::sysconf(_SC_PAGESIZE));
}

// Any client may write the root's client list: 65536 made-up windows cost a bounded read and
// leave no lasting memory behind, and the next true list is read as before.
TEST_F(LiveFixture, ABogusClientListIsReadOnlyInPart) {
    if (!env("E2E_BOGUS_CLIENTS"))
        GTEST_SKIP() << "E2E_BOGUS_CLIENTS not given";
    auto& x = *platform->x;
    auto& workspace = platform->workspace;
    const auto property = x.ewmh()._NET_CLIENT_LIST;
    const auto real = rootWindowList(x, property);
    ASSERT_FALSE(real.empty());
    workspace.startObserving();
    const auto apps = [&] { return workspace.sharedRunningApplications()->size(); };
    const auto before = apps();
    ASSERT_GT(before, 0u);
    const auto write = [&](const std::vector<xcb_window_t>& windows) {
        xcb_change_property(x.raw(), XCB_PROP_MODE_REPLACE, x.root(), property, XCB_ATOM_WINDOW, 32,
                            std::uint32_t(windows.size()), windows.data());
        std::free(xcb_get_input_focus_reply(x.raw(), xcb_get_input_focus(x.raw()), nullptr));
    };
    std::vector<xcb_window_t> bogus;
    for (xcb_window_t id = 0x7f000000; bogus.size() < 65536; ++id)
        bogus.push_back(id);
    const auto rssBefore = residentBytes();
    write(bogus);
    EXPECT_EQ(rootWindowList(x, property).size(), 1024u);
    ASSERT_TRUE(mainQueue.runUntil([&] { return apps() == 0; }, 30));
    EXPECT_LT(residentBytes(), rssBefore + (8u << 20)); // 40 MB more when all are read
    write(real);
    EXPECT_TRUE(mainQueue.runUntil([&] { return apps() == before; }, 30));
}

// Whether `pid` has ended (a zombie has: its parent may reap it late).
bool hasEnded(std::int32_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const auto close = line.rfind(')');
    return close != std::string::npos && line.size() > close + 2 && line[close + 2] == 'Z';
}

// A polite quit follows the manager's supported list. Without _NET_CLOSE_WINDOW there, a
// client that takes WM_DELETE_WINDOW gets it and ends, and one that does not is sent nothing
// and told so; with it there, the manager closes even that client's window.
TEST_F(LiveFixture, PoliteCloseFollowsTheManagersSupportedList) {
    const auto taker = env("E2E_CLOSE_TAKER");
    const auto refuser = env("E2E_CLOSE_REFUSER");
    if (!taker || !refuser)
        GTEST_SKIP() << "E2E_CLOSE_TAKER and E2E_CLOSE_REFUSER not given";
    const auto waitForEnd = [](std::int32_t pid) {
        for (int tries = 0; tries < 100 && !hasEnded(pid); ++tries)
            ::usleep(50'000);
        return hasEnded(pid);
    };
    auto& x = *platform->x;
    const auto property = x.ewmh()._NET_SUPPORTED;
    const auto readSupported = [&] {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            x.raw(), xcb_get_property(x.raw(), 0, x.root(), property, XCB_ATOM_ATOM, 0, 4096),
            nullptr));
        return propertyWords(propertyValue(reply.get()), XCB_ATOM_ATOM);
    };
    const auto writeSupported = [&](const std::vector<std::uint32_t>& atoms) {
        xcb_change_property(x.raw(), XCB_PROP_MODE_REPLACE, x.root(), property, XCB_ATOM_ATOM, 32,
                            std::uint32_t(atoms.size()), atoms.data());
        std::free(xcb_get_input_focus_reply(x.raw(), xcb_get_input_focus(x.raw()), nullptr));
    };
    const auto supported = readSupported();
    const auto closeAtom = x.ewmh()._NET_CLOSE_WINDOW;
    ASSERT_NE(std::find(supported.begin(), supported.end(), closeAtom), supported.end());
    auto without = supported;
    std::erase(without, closeAtom);
    writeSupported(without);
    ASSERT_EQ(readSupported(), without);

    auto& workspace = platform->workspace;
    EXPECT_FALSE(workspace.terminate(std::stoi(*refuser)));
    EXPECT_TRUE(workspace.terminate(std::stoi(*taker)));
    EXPECT_TRUE(waitForEnd(std::stoi(*taker)));
    EXPECT_FALSE(hasEnded(std::stoi(*refuser)));
    // This program never closes its own windows, nor init's.
    EXPECT_FALSE(workspace.terminate(::getpid()));
    EXPECT_FALSE(workspace.terminate(1));

    // i3 destroys a window that takes no close message; its client lives on, windowless.
    writeSupported(supported);
    EXPECT_TRUE(workspace.terminate(std::stoi(*refuser)));
    const auto listed = [&] { return workspace.runningApplication(std::stoi(*refuser)); };
    for (int tries = 0; tries < 100 && listed(); ++tries)
        ::usleep(50'000);
    EXPECT_FALSE(listed());
}

TEST_F(LiveFixture, LostServerEndsTheProgramWithOneLine) {
    const auto xvfb = env("E2E_XVFB_PID");
    if (!xvfb)
        GTEST_SKIP() << "E2E_XVFB_PID not given";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            platform->workspace.startObserving();
            ::kill(std::stoi(*xvfb), SIGTERM);
            mainQueue.runUntil([] { return false; }, 10);
        },
        ::testing::ExitedWithCode(1), "^tidemark: lost the connection to the X server\n$");
}

} // namespace
} // namespace tidemark::linux_platform
