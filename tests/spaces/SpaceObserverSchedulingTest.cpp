#include "preferences/SettingsKeys.h"
#include "spaces/SpaceNameCodec.h"
#include "support/SimHarness.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tidemark {
namespace {

using Kind = WorkspaceEventKind;

// Two desktops; Alpha on 1, Beta on 2. `settings` is the stored settings object.
std::string scenario(const std::string& settings = R"({"displayStyle": 0})") {
    return R"({"settings": )" + settings + R"(,
      "self": {"pid": 1, "bundleIdentifier": "io.tidemark.Tidemark"},
      "displays": [{"Display Identifier": "Main", "Current Space": {"ManagedSpaceID": 1},
                    "Spaces": [{"ManagedSpaceID": 1}, {"ManagedSpaceID": 2}]}],
      "windows": [
        {"kCGWindowLayer": 0, "kCGWindowNumber": 10, "kCGWindowOwnerPID": 100, "spaces": [1]},
        {"kCGWindowLayer": 0, "kCGWindowNumber": 11, "kCGWindowOwnerPID": 101, "spaces": [2]}],
      "apps": [{"pid": 100, "bundleIdentifier": "org.a.Alpha", "localizedName": "Alpha"},
               {"pid": 101, "bundleIdentifier": "org.b.Beta", "localizedName": "Beta"}]})";
}

const std::string kOpenedApps = R"({"displayStyle": 4})";

// Refresh and timer happenings in milliseconds of virtual time.
struct Recorder : testing::SimHarness {
    explicit Recorder(const std::string& json = scenario()) : SimHarness(json) {
        observer().setRefreshListener([this](bool published) {
            refreshes.push_back(nowMs());
            if (published)
                publications.push_back(nowMs());
        });
        observer().setTimerListener([this](bool running) {
            timer.push_back((running ? "start@" : "stop@") + std::to_string(nowMs()));
        });
    }

    long nowMs() const { return std::lround(platform.mainQueue.now() * 1000); }
    // Launches at 0 and runs to `ms`, forgetting what happened on the way.
    void launchAndRunTo(long ms) {
        launch();
        runTo(ms);
        clear();
    }
    void runTo(long ms) { platform.mainQueue.runUntil(ms / 1000.0); }
    void clear() {
        refreshes.clear();
        publications.clear();
        timer.clear();
    }
    void postWorkspace(WorkspaceEventKind kind, std::optional<EventApp> app = {}) {
        platform.workspace.events().post({kind, std::move(app)});
        platform.mainQueue.runPending();
    }
    void pressButton() {
        platform.defaultCenter.post(settings::kButtonPressedNotification);
        platform.mainQueue.runPending();
    }

    std::vector<long> refreshes;
    std::vector<long> publications;
    std::vector<std::string> timer;
};

using Ms = std::vector<long>;

TEST(Scheduling, ThrottleRunsAtOnceThenDefersOneReplaceableRefresh) {
    Recorder r;
    r.launch();
    EXPECT_EQ(r.refreshes, Ms{0});
    EXPECT_EQ(r.publications, Ms{0});
    r.runTo(1000);
    r.observer().updateSpaceInformation();
    r.runTo(1030);
    r.observer().updateSpaceInformation();
    r.runTo(1050);
    r.observer().updateSpaceInformation();
    r.runTo(2000);
    EXPECT_EQ(r.refreshes, (Ms{0, 1000, 1100}));

    // The deferred entry waits 0.05 s, then goes through the throttle.
    r.clear();
    r.observer().updateSpaceInformationIfNeeded();
    r.runTo(2060);
    r.observer().updateSpaceInformationIfNeeded();
    r.runTo(3000);
    EXPECT_EQ(r.refreshes, (Ms{2050, 2150}));
}

TEST(Scheduling, ScreenParameterChangeRefreshesAtOnceEvenRightAfterARefresh) {
    Recorder r;
    r.launchAndRunTo(1000);
    r.observer().updateSpaceInformation();
    r.runTo(1010);
    r.postWorkspace(Kind::ScreenParametersChanged);
    r.runTo(2000);
    EXPECT_EQ(r.refreshes, (Ms{1000, 1010}));
}

// An event for Alpha at 1.0 s, optionally a second one for Beta later.
TEST(Scheduling, AppEventBurstsRefreshAtOnceAndAtTheirDelaysUntilTheNextEvent) {
    struct Row {
        Kind event;
        Ms expected;
        std::optional<Kind> next = std::nullopt;
        long nextAt = 0;
    };
    const Kind launch = Kind::AppLaunched;
    int index = 0;
    for (const Row& row : {
             Row{launch, {1000, 1080, 1200, 1450, 1850, 2400, 3200}},
             Row{Kind::AppUnhidden, {1000, 1080, 1250, 1600}},
             Row{Kind::AppActivated, {1000, 1080, 1250, 1600}},
             Row{Kind::AppDeactivated, {1000, 1050, 1200}},
             // A new burst cancels the rest of the old; hiding and quitting cancel it too.
             Row{launch,
                 {1000, 1080, 1200, 1300, 1380, 1500, 1750, 2150, 2700, 3500},
                 launch,
                 1300},
             Row{launch, {1000, 1080, 1100}, Kind::AppHidden, 1100},
             Row{launch, {1000, 1080, 1100, 1150}, Kind::AppTerminated, 1100},
         }) {
        SCOPED_TRACE("row " + std::to_string(index++));
        Recorder r;
        r.launchAndRunTo(1000);
        r.postWorkspace(row.event, EventApp{100, "org.a.Alpha"});
        if (row.next) {
            r.runTo(row.nextAt);
            r.postWorkspace(*row.next, EventApp{101, "org.b.Beta"});
        }
        r.runTo(5000);
        EXPECT_EQ(r.refreshes, row.expected);
    }
}

TEST(Scheduling, ActiveSpaceChangeCancelsPendingWorkAndFollowsUpWithoutStamping) {
    Recorder r;
    r.launchAndRunTo(1000);
    r.postWorkspace(Kind::AppActivated, EventApp{100, "org.a.Alpha"});
    r.runTo(1030);
    r.observer().updateSpaceInformation(); // deferred to 1.1
    r.runTo(1040);
    r.postWorkspace(Kind::ActiveSpaceChanged);
    r.runTo(1190);
    // The activation burst (1.08, 1.25, 1.6) and the deferred refresh are gone.
    EXPECT_EQ(r.refreshes, (Ms{1000, 1040, 1190}));
    // The follow-up did not stamp: a request 0.16 s after the switch runs at once.
    r.runTo(1200);
    r.observer().updateSpaceInformation();
    r.runTo(3000);
    EXPECT_EQ(r.refreshes, (Ms{1000, 1040, 1190, 1200}));
}

// A switch's events learnt of together: one refresh at once, then the last event's burst, as
// when they come one by one.
TEST(Scheduling, EventsPostedAsABatchRefreshOnceAtItsEnd) {
    const std::vector<WorkspaceEvent> switchEvents{
        {Kind::ActiveSpaceChanged},
        {Kind::AppDeactivated, EventApp{100, "org.a.Alpha"}},
        {Kind::AppActivated, EventApp{101, "org.b.Beta"}}};
    for (const bool batched : {false, true}) {
        SCOPED_TRACE(batched ? "batched" : "one by one");
        Recorder r;
        r.launchAndRunTo(1000);
        std::vector<bool> refreshedInside;
        r.observer().setRefreshListener([&](bool) {
            r.refreshes.push_back(r.nowMs());
            refreshedInside.push_back(r.platform.workspace.events().isDeliveringBatch());
        });
        if (batched)
            r.platform.workspace.events().postBatch(switchEvents);
        else
            for (const auto& event : switchEvents)
                r.platform.workspace.events().post(event);
        EXPECT_EQ(r.refreshes, batched ? Ms{1000} : (Ms{1000, 1000, 1000}));
        r.runTo(5000);
        EXPECT_EQ(r.refreshes, batched ? (Ms{1000, 1080, 1250, 1600})
                                       : (Ms{1000, 1000, 1000, 1080, 1250, 1600}));
        EXPECT_EQ(refreshedInside, std::vector<bool>(r.refreshes.size(), false));
    }
}

TEST(Scheduling, TerminationDropsTheCachedIconOfTheStrippedIdentifier) {
    Recorder r(scenario(kOpenedApps));
    r.launchAndRunTo(100);
    auto& mapper = r.observer().windowSpaceMapper();
    ASSERT_TRUE(mapper.hasCachedIcon("org.a.Alpha"));
    ASSERT_TRUE(mapper.hasCachedIcon("org.b.Beta"));
    r.postWorkspace(Kind::AppTerminated, EventApp{555, std::nullopt});
    r.postWorkspace(Kind::AppTerminated);
    EXPECT_EQ(mapper.iconCacheSize(), 2u);
    // The refresh that follows would load the icon again while the app still runs.
    r.platform.workspace.setApps({});
    r.postWorkspace(Kind::AppTerminated, EventApp{100, "org.a.Alpha.helper"});
    EXPECT_FALSE(mapper.hasCachedIcon("org.a.Alpha"));
    EXPECT_TRUE(mapper.hasCachedIcon("org.b.Beta"));
}

TEST(Scheduling, SleepStopsEverythingButHideAndTerminateAndWakeResumes) {
    Recorder r(scenario(kOpenedApps));
    // The stored style started the timer while the observer was built.
    EXPECT_TRUE(r.observer().hasWindowCheckTimer());
    r.launch();
    r.runTo(1000);
    r.clear();
    r.postWorkspace(Kind::AppLaunched, EventApp{100, "org.a.Alpha"});
    r.runTo(1100);
    r.postWorkspace(Kind::ScreensSlept);
    EXPECT_FALSE(r.observer().isSystemActive());
    EXPECT_FALSE(r.observer().hasWindowCheckTimer());
    r.postWorkspace(Kind::AppActivated, EventApp{100, "org.a.Alpha"});
    r.postWorkspace(Kind::ActiveSpaceChanged);
    r.postWorkspace(Kind::ScreenParametersChanged);
    r.pressButton();
    r.observer().updateSpaceInformation();
    r.observer().updateSpaceInformationIfNeeded();
    r.runTo(1500);
    EXPECT_EQ(r.refreshes, (Ms{1000, 1080}));
    // No timer comes back while asleep, not even from the handlers that still refresh.
    r.postWorkspace(Kind::AppHidden, EventApp{100, "org.a.Alpha"});
    r.postWorkspace(Kind::AppTerminated, EventApp{101, "org.b.Beta"});
    r.runTo(1600);
    EXPECT_EQ(r.refreshes, (Ms{1000, 1080, 1500, 1500, 1550}));
    EXPECT_FALSE(r.observer().hasWindowCheckTimer());

    r.postWorkspace(Kind::ScreensWoke);
    EXPECT_TRUE(r.observer().isSystemActive());
    EXPECT_EQ(r.refreshes.back(), 1600);
    EXPECT_EQ(r.timer, (std::vector<std::string>{"stop@1100", "start@1600"}));
}

TEST(Scheduling, SessionChangesDeactivateAndActivateLikeSleepAndWake) {
    Recorder r(scenario(kOpenedApps));
    r.launchAndRunTo(1000);
    r.postWorkspace(Kind::SessionResigned);
    EXPECT_FALSE(r.observer().isSystemActive());
    r.postWorkspace(Kind::AppUnhidden, EventApp{100, "org.a.Alpha"});
    r.runTo(1050);
    r.postWorkspace(Kind::SessionBecameActive);
    // Woken 0.05 s after the timer's last refresh at 1.0: throttled to 1.1.
    r.runTo(1100);
    EXPECT_EQ(r.refreshes, Ms{1100});
    EXPECT_EQ(r.timer, (std::vector<std::string>{"stop@1000", "start@1050"}));
}

TEST(Scheduling, WindowCheckTimerFollowsTheStyleAndTicksEveryHalfSecond) {
    Recorder r(scenario(kOpenedApps));
    r.launch();
    ASSERT_NE(r.observer().windowCheckTimer(), nullptr);
    EXPECT_DOUBLE_EQ(r.observer().windowCheckTimer()->interval(), 0.5);
    EXPECT_DOUBLE_EQ(r.observer().windowCheckTimer()->tolerance(), 0.1);
    r.runTo(1600);
    EXPECT_EQ(r.refreshes, (Ms{0, 500, 1000, 1500}));

    r.clear();
    r.platform.settings.set(settings::kDisplayStyle, Value(1));
    r.pressButton();
    r.runTo(3000);
    EXPECT_EQ(r.timer, std::vector<std::string>{"stop@1600"});
    EXPECT_EQ(r.refreshes, Ms{1600});
    EXPECT_EQ(r.publications, Ms{1600});
    r.platform.settings.set(settings::kDisplayStyle, Value(4));
    r.pressButton();
    EXPECT_EQ(r.timer, (std::vector<std::string>{"stop@1600", "start@3000"}));
    // A button press that leaves the style alone keeps the running timer.
    r.pressButton();
    EXPECT_EQ(r.timer.size(), 2u);
}

TEST(Scheduling, AStoredChangeFromElsewhereActsAsAButtonPressAndAPressAnswersItAlone) {
    Recorder r(scenario(kOpenedApps));
    r.launchAndRunTo(200);
    // Another process's write, heard through the store: the refresh follows shortly.
    r.platform.settings.set(settings::kDisplayStyle, Value(1));
    r.runTo(400);
    EXPECT_EQ(r.timer, std::vector<std::string>{"stop@250"});
    EXPECT_EQ(r.publications, Ms{250});

    // A write with its button press: the press alone refreshes.
    r.clear();
    r.platform.settings.set(settings::kUseHighContrastBorders, Value(true));
    r.pressButton();
    r.runTo(1000);
    EXPECT_EQ(r.refreshes, Ms{400});
    EXPECT_EQ(r.publications, Ms{400});

    // Several keys at once: one refresh. Keys the image does not show: none.
    r.clear();
    r.platform.settings.set(settings::kActiveSpaceColor, Value(ValueArray{1, 0, 0, 1}));
    r.platform.settings.set(settings::kUseHighContrastBorders, Value(false));
    r.platform.settings.set(settings::kHoverPopupEnabled, Value(false));
    r.runTo(2000);
    EXPECT_EQ(r.refreshes, Ms{1050});
    r.clear();
    r.platform.settings.set(settings::kHoverPopupEnabled, Value(true));
    r.runTo(3000);
    EXPECT_TRUE(r.refreshes.empty());
}

TEST(Scheduling, ConstructionStartsTheTimerOnlyForTheOpenedAppsStyle) {
    // The registered default is in place before the observer is built.
    Recorder fresh(scenario("{}"));
    EXPECT_TRUE(fresh.observer().hasWindowCheckTimer());
    fresh.launch();
    EXPECT_TRUE(fresh.observer().hasWindowCheckTimer());
    EXPECT_TRUE(fresh.timer.empty()) << "launch keeps the timer it found";

    Recorder stored(scenario(kOpenedApps));
    EXPECT_TRUE(stored.observer().hasWindowCheckTimer());

    Recorder other(scenario());
    other.launch();
    EXPECT_FALSE(other.observer().hasWindowCheckTimer());
}

TEST(Scheduling, HandlersThatFindNoTimerEnsureIt) {
    Recorder r(scenario());
    // Before launch the style reads 0 and no timer runs; the stored style appears later.
    r.platform.settings.set(settings::kDisplayStyle, Value(4));
    r.postWorkspace(Kind::AppHidden, EventApp{100, "org.a.Alpha"});
    EXPECT_TRUE(r.observer().hasWindowCheckTimer());
}

TEST(Scheduling, MemoryPressurePrunesIconsAndReloadsSpaceNames) {
    Recorder r(scenario(kOpenedApps));
    r.launchAndRunTo(200);
    auto& mapper = r.observer().windowSpaceMapper();
    ASSERT_EQ(mapper.iconCacheSize(), 2u);
    // Beta quits without notice; the names are changed behind the observer's back.
    r.platform.workspace.setApps(
        sim::parseApps(Value(ValueArray{Value(ValueDictionary{
                           {"pid", Value(100)}, {"bundleIdentifier", Value("org.a.Alpha")}})}),
                       "test: apps"));
    r.platform.settings.set(settings::kSpaceNames,
                            Value(*encodeSpaceNames({{"1", {1, "Work"}}, {"2", {2, "Play"}}})));

    r.observer().refreshSpaces();
    EXPECT_EQ(r.spaces().at(0).spaceName, "N/A");

    r.platform.memoryPressure.raiseWarning();
    EXPECT_EQ(mapper.iconCacheSize(), 2u); // delivered on the main queue, not yet
    r.platform.mainQueue.runPending();
    EXPECT_EQ(mapper.iconCacheSize(), 1u);
    EXPECT_TRUE(mapper.hasCachedIcon("org.a.Alpha"));

    // The names are read again; the signature leaves names out, so look at the store.
    r.observer().refreshSpaces();
    EXPECT_EQ(r.observer().loadSpaceNames().at("1").spaceName, "Work");
}

TEST(Scheduling, EventForAnUnknownPidChangesNothing) {
    Recorder r(scenario(kOpenedApps));
    r.launchAndRunTo(1000);
    const auto before = r.observer().previousSpaceSignature();
    for (const Kind kind : {Kind::AppLaunched, Kind::AppHidden, Kind::AppUnhidden,
                            Kind::AppActivated, Kind::AppDeactivated, Kind::AppTerminated})
        r.postWorkspace(kind, EventApp{4242, "org.nobody"});
    r.runTo(5000);
    EXPECT_FALSE(r.refreshes.empty());
    EXPECT_TRUE(r.publications.empty());
    EXPECT_EQ(r.observer().previousSpaceSignature(), before);
    EXPECT_EQ(r.observer().windowSpaceMapper().iconCacheSize(), 2u);
}

struct CountingDelegate : SpaceObserverDelegate {
    void didUpdateSpaces(const std::vector<Space>&) override { ++count; }
    int count = 0;
};

TEST(Scheduling, NothingHappensAfterTheObserverIsGone) {
    testing::SimHarness h(scenario(kOpenedApps));
    auto delegate = std::make_shared<CountingDelegate>();
    auto observer = SpaceObserver::create(h.services());
    observer->setDelegate(delegate);
    observer->updateSpaceInformation();
    ASSERT_EQ(delegate->count, 1);
    auto& events = h.platform.workspace.events();
    EXPECT_EQ(events.observerCount(Kind::AppLaunched), 2u); // the harness's too
    EXPECT_EQ(h.platform.memoryPressure.liveSourceCount(), 2u);

    // Leave a burst, a deferred refresh and the timer pending, then drop the observer.
    events.post({Kind::AppLaunched});
    observer->updateSpaceInformation();
    h.platform.settings.set(settings::kDisplayStyle, Value(1)); // any refresh would publish
    const auto before = delegate->count;
    observer.reset();
    EXPECT_EQ(events.observerCount(Kind::AppLaunched), 1u);
    EXPECT_EQ(h.platform.defaultCenter.observerCount(settings::kButtonPressedNotification), 1u);
    EXPECT_EQ(h.platform.memoryPressure.liveSourceCount(), 1u);

    // The harness's own observer is dropped as well, so nothing is left to answer.
    h.delegate.reset();
    for (const Kind kind : {Kind::ActiveSpaceChanged, Kind::AppLaunched, Kind::AppTerminated,
                            Kind::ScreensWoke, Kind::ScreenParametersChanged})
        events.post({kind});
    h.platform.defaultCenter.post(settings::kButtonPressedNotification);
    h.platform.memoryPressure.raiseWarning();
    h.platform.mainQueue.runUntil(10);
    EXPECT_EQ(delegate->count, before);
    EXPECT_EQ(events.observerCount(Kind::AppLaunched), 0u);
}

} // namespace
} // namespace tidemark
