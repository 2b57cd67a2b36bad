#include "platform/linux/wayland/WaylandWorkspace.h"

#include "platform/linux/PollMainQueue.h"
#include "platform/linux/wayland/WaylandWindowServer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tidemark::linux_platform::wayland {
namespace {

// What the fake compositor holds and did; the test changes it while the adapters run.
struct Desk {
    std::mutex mutex;
    Outputs outputs;
    Windows windows;
    bool reachable = true;
    bool subscribable = true;
    int outputReads = 0;
    int windowReads = 0;
    std::vector<SpaceId> focusRequests;
    std::vector<std::int64_t> closeRequests;
    int subscriptions = 0;
    // The write end of the current event stream's pipe, its pending changes and its end.
    int streamWrite = -1;
    TableChanges pending;
    bool ended = false;

    // Announces `changes` on the current stream.
    void announce(TableChanges changes, bool end = false) {
        std::lock_guard lock(mutex);
        pending |= changes;
        ended = ended || end;
        const char byte = 0;
        EXPECT_EQ(::write(streamWrite, &byte, 1), 1);
    }
};

class FakeEvents final : public CompositorEvents {
public:
    explicit FakeEvents(std::shared_ptr<Desk> desk) : desk_(std::move(desk)) {
        EXPECT_EQ(::pipe2(fds_, O_CLOEXEC | O_NONBLOCK), 0);
        desk_->streamWrite = fds_[1];
        desk_->pending = {};
        desk_->ended = false;
    }
    ~FakeEvents() override {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    int fd() const override { return fds_[0]; }
    TableChanges take() override {
        char drain[64];
        while (::read(fds_[0], drain, sizeof drain) > 0) {
        }
        std::lock_guard lock(desk_->mutex);
        return std::exchange(desk_->pending, {});
    }
    bool ended() const override {
        std::lock_guard lock(desk_->mutex);
        return desk_->ended;
    }

private:
    std::shared_ptr<Desk> desk_;
    int fds_[2] = {-1, -1};
};

class FakeCompositor final : public Compositor {
public:
    explicit FakeCompositor(std::shared_ptr<Desk> desk) : desk_(std::move(desk)) {}
    std::string_view name() const override { return "fake"; }
    std::optional<Outputs> readOutputs() override {
        std::lock_guard lock(desk_->mutex);
        ++desk_->outputReads;
        return desk_->reachable ? std::optional(desk_->outputs) : std::nullopt;
    }
    std::optional<Windows> readWindows() override {
        std::lock_guard lock(desk_->mutex);
        ++desk_->windowReads;
        return desk_->reachable ? std::optional(desk_->windows) : std::nullopt;
    }
    bool isReachable() override {
        std::lock_guard lock(desk_->mutex);
        return desk_->reachable;
    }
    bool focusWorkspace(SpaceId id) override {
        std::lock_guard lock(desk_->mutex);
        desk_->focusRequests.push_back(id);
        for (auto& output : desk_->outputs)
            for (auto& workspace : output.workspaces)
                workspace.visible = workspace.id == id;
        return true;
    }
    bool closeWindow(std::int64_t id) override {
        std::lock_guard lock(desk_->mutex);
        desk_->closeRequests.push_back(id);
        return true;
    }
    std::unique_ptr<CompositorEvents> subscribe() override {
        {
            std::lock_guard lock(desk_->mutex);
            if (!desk_->reachable || !desk_->subscribable)
                return nullptr;
            ++desk_->subscriptions;
        }
        return std::make_unique<FakeEvents>(desk_);
    }

private:
    std::shared_ptr<Desk> desk_;
};

struct WaylandAdapters : ::testing::Test {
    std::shared_ptr<Desk> desk = [] {
        auto desk = std::make_shared<Desk>();
        desk->outputs = {{"one", {{.id = 1, .visible = true}, {.id = 2}}}};
        desk->windows = {{.id = 10, .pid = 100, .appId = "alpha", .workspace = 1, .focused = true}};
        return desk;
    }();
    PollMainQueue queue;
    CompositorSession session{std::make_unique<FakeCompositor>(desk)};
    WaylandWindowServer windowServer{session};
    int lostCalls = 0;
    WaylandWorkspace workspace{
        session, queue, std::make_shared<DesktopEntries>(std::vector<std::filesystem::path>{}),
        [this] { ++lostCalls; }};
    std::vector<std::pair<WorkspaceEventKind, std::int32_t>> seen;
    ObservationToken token = workspace.events().addObserverForAll(
        [this](const WorkspaceEvent& e) { seen.emplace_back(e.kind, e.app ? e.app->pid : 0); });
    // How many events had come at each batch's end.
    std::vector<std::size_t> batchEnds;
    ObservationToken batchToken =
        workspace.events().addBatchEndObserver([this] { batchEnds.push_back(seen.size()); });

    bool sawEvent(WorkspaceEventKind kind, std::int32_t pid = 0) {
        return std::find(seen.begin(), seen.end(), std::pair(kind, pid)) != seen.end();
    }
    void waitFor(WorkspaceEventKind kind, std::int32_t pid = 0) {
        EXPECT_TRUE(queue.runUntil([&] { return sawEvent(kind, pid); }, 5))
            << "no event " << int(kind) << " for " << pid;
    }
    void edit(const std::function<void(Desk&)>& change) {
        std::lock_guard lock(desk->mutex);
        change(*desk);
    }
};

TEST_F(WaylandAdapters, EventsKeepTheTableAndBecomeWorkspaceEvents) {
    workspace.startObserving();
    ASSERT_EQ(workspace.runningApplications().size(), 1u);
    const auto first = windowServer.displays();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->at(0).currentSpace, 1);

    // Kept while no event says otherwise: the same answer, the compositor not asked again.
    edit([](Desk& d) { d.outputs[0].workspaces[0].visible = false; });
    edit([](Desk& d) { d.outputs[0].workspaces[1].visible = true; });
    const int reads = desk->outputReads;
    EXPECT_EQ(windowServer.displays(), first);
    EXPECT_EQ(desk->outputReads, reads);
    desk->announce({.workspaces = true});
    waitFor(WorkspaceEventKind::ActiveSpaceChanged);
    EXPECT_EQ(windowServer.displays()->at(0).currentSpace, 2);

    // A new window of a new process, focused: launched and activated, the old one deactivated,
    // told as one batch (one refresh for them all).
    const auto seenBefore = seen.size();
    const auto batchesBefore = batchEnds.size();
    edit([](Desk& d) {
        d.windows[0].focused = false;
        d.windows.push_back(
            {.id = 11, .pid = 200, .appId = "beta", .workspace = 2, .focused = true});
    });
    desk->announce({.windows = true});
    waitFor(WorkspaceEventKind::AppLaunched, 200);
    waitFor(WorkspaceEventKind::AppActivated, 200);
    EXPECT_TRUE(sawEvent(WorkspaceEventKind::AppDeactivated, 100));
    EXPECT_EQ(windowServer.windows()->windows.size(), 2u);
    ASSERT_EQ(batchEnds.size(), batchesBefore + 1);
    EXPECT_EQ(batchEnds.back(), seen.size());
    EXPECT_GE(seen.size() - seenBefore, 3u);

    edit([](Desk& d) { d.windows.erase(d.windows.begin()); });
    desk->announce({.windows = true});
    waitFor(WorkspaceEventKind::AppTerminated, 100);
    desk->announce({.outputs = true});
    waitFor(WorkspaceEventKind::ScreenParametersChanged);
    EXPECT_EQ(lostCalls, 0);
}

// A switch tells the shown workspace and the focused window whole: the kept table takes them
// without asking the compositor, unless it does not hold them so or the part is to be asked.
TEST_F(WaylandAdapters, FocusToldWholeEditsTheKeptTableAndWhatDoesNotFitIsAskedAgain) {
    edit([](Desk& d) {
        d.windows.push_back({.id = 11, .pid = 200, .appId = "beta", .workspace = 2});
    });
    workspace.startObserving();
    ASSERT_EQ(workspace.runningApplications().size(), 2u);
    ASSERT_EQ(windowServer.displays()->at(0).currentSpace, 1);
    const int outputReads = desk->outputReads;
    const int windowReads = desk->windowReads;

    edit([](Desk& d) {
        d.outputs[0].workspaces[0].visible = false;
        d.outputs[0].workspaces[1].visible = true;
        d.windows[0].focused = false;
        d.windows[1].focused = true;
    });
    desk->announce({.focusedWindow = WindowEntry{.id = 11, .pid = 200, .appId = "beta"},
                    .shownWorkspaces = {{"one", {.id = 2}}}});
    waitFor(WorkspaceEventKind::ActiveSpaceChanged);
    waitFor(WorkspaceEventKind::AppActivated, 200);
    EXPECT_TRUE(sawEvent(WorkspaceEventKind::AppDeactivated, 100));
    EXPECT_EQ(windowServer.displays()->at(0).currentSpace, 2);
    EXPECT_EQ(desk->outputReads, outputReads);
    EXPECT_EQ(desk->windowReads, windowReads);

    // A window the table does not hold yet: the windows are asked again.
    edit([](Desk& d) {
        d.windows[1].focused = false;
        d.windows.push_back(
            {.id = 12, .pid = 300, .appId = "gamma", .workspace = 2, .focused = true});
    });
    desk->announce({.focusedWindow = WindowEntry{.id = 12, .pid = 300, .appId = "gamma"}});
    waitFor(WorkspaceEventKind::AppLaunched, 300);
    waitFor(WorkspaceEventKind::AppActivated, 300);
    EXPECT_EQ(desk->windowReads, windowReads + 1);

    // Told a workspace shown, and that workspaces changed: they are asked again.
    edit([](Desk& d) {
        d.outputs[0].workspaces[0].visible = true;
        d.outputs[0].workspaces[1].visible = false;
    });
    seen.clear();
    desk->announce({.workspaces = true, .shownWorkspaces = {{"one", {.id = 2}}}});
    waitFor(WorkspaceEventKind::ActiveSpaceChanged);
    EXPECT_EQ(windowServer.displays()->at(0).currentSpace, 1);
    EXPECT_EQ(desk->outputReads, outputReads + 1);
}

TEST_F(WaylandAdapters, AnEndedStreamIsOpenedAgainAndAGoneCompositorEndsTheSession) {
    workspace.startObserving();
    ASSERT_EQ(desk->subscriptions, 1);
    desk->announce({}, true);
    EXPECT_TRUE(queue.runUntil([&] { return desk->subscriptions == 2; }, 5));
    // Followed again: what happened meanwhile is read afresh.
    edit([](Desk& d) { d.windows.push_back({.id = 12, .pid = 300, .workspace = 1}); });
    desk->announce({.windows = true});
    waitFor(WorkspaceEventKind::AppLaunched, 300);

    // While the compositor does not answer, the apps it listed last stay.
    edit([](Desk& d) { d.reachable = false; });
    session.changed({.windows = true});
    EXPECT_EQ(workspace.runningApplications().size(), 2u);
    EXPECT_FALSE(windowServer.displays());
    desk->announce({}, true);
    EXPECT_TRUE(queue.runUntil([&] { return lostCalls == 1; }, 5));
}

TEST_F(WaylandAdapters, SwitchesAndQuitsGoToTheCompositorForWindowOwnersOnly) {
    EXPECT_TRUE(windowServer.switchesDirectly());
    ASSERT_EQ(windowServer.displays()->at(0).currentSpace, 1);
    EXPECT_TRUE(windowServer.makeCurrent(2));
    // The switch makes the shown workspace stale at once, events or not.
    EXPECT_EQ(windowServer.displays()->at(0).currentSpace, 2);
    EXPECT_EQ(desk->focusRequests, (std::vector<SpaceId>{2}));

    EXPECT_TRUE(workspace.terminate(100));
    EXPECT_EQ(desk->closeRequests, (std::vector<std::int64_t>{10}));
    EXPECT_FALSE(workspace.terminate(4242));
}

} // namespace
} // namespace tidemark::linux_platform::wayland
