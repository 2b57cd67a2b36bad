#include "foundation/PropertyList.h"
#include "foundation/ValueJson.h"
#include "preferences/SettingsKeys.h"
#include "spaces/SpaceNameCodec.h"
#include "support/ForwardingWorkspace.h"
#include "support/SimHarness.h"

#include <gtest/gtest.h>

using namespace tidemark;
using tidemark::testing::SimHarness;

namespace {

// Counts the writes that reach the stored settings.
class CountingStore final : public SettingsStore {
public:
    using SettingsStore::SettingsStore;
    int writes = 0;

protected:
    void persist(std::string_view, const Value*) override { ++writes; }
};

class RecordingDelegate final : public SpaceObserverDelegate {
public:
    void didUpdateSpaces(const std::vector<Space>& spaces) override { received.push_back(spaces); }
    std::vector<std::vector<Space>> received;
};

// An observer over a scenario, with the numbers style unless the scenario stores another.
struct Fixture {
    explicit Fixture(const std::string& json, ValueDictionary stored = {})
        : platform(sim::parseScenario(json, "test")), store(std::move(stored)) {
        store.registerDefaults(settings::registeredDefaults());
        if (!store.object(settings::kDisplayStyle) ||
            !store.storedValues().contains("displayStyle"))
            store.set(settings::kDisplayStyle, Value(1));
        store.writes = 0;
        observer = SpaceObserver::create({platform.mainQueue, store, platform.windowServer,
                                          platform.workspace, platform.defaultCenter});
        observer->setDelegate(delegate);
    }
    const std::vector<Space>& last() const { return delegate->received.back(); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& s : last())
            out.push_back(s.spaceName);
        return out;
    }
    SpaceNameMap storedNames() const {
        return *decodeSpaceNames(*store.object(settings::kSpaceNames)->asData());
    }

    sim::SimPlatform platform;
    CountingStore store;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::shared_ptr<SpaceObserver> observer;
};

std::string display(const std::string& id, int current, const std::string& spaces) {
    return R"({"Display Identifier": ")" + id + R"(", "Current Space": {"ManagedSpaceID": )" +
           std::to_string(current) + R"(}, "Spaces": [)" + spaces + "]}";
}

std::string scenario(const std::string& displays, const std::string& extra = "") {
    return R"({"displays": [)" + displays + "]" + (extra.empty() ? "" : ", " + extra) + "}";
}

} // namespace

TEST(SnapshotRefresh, NumbersSpacesGloballyAndDesktopsPerDisplay) {
    Fixture f(scenario(
        display("A", 2, R"({"ManagedSpaceID": 1}, {"ManagedSpaceID": 2}, {"ManagedSpaceID": 3})") +
        "," +
        display("B", 6, R"({"ManagedSpaceID": 4}, {"ManagedSpaceID": 5}, {"ManagedSpaceID": 6})")));
    f.observer->refreshSpaces();
    ASSERT_EQ(f.delegate->received.size(), 1u);
    const auto& spaces = f.last();
    ASSERT_EQ(spaces.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(spaces[i].spaceNumber, i + 1);
        EXPECT_EQ(spaces[i].desktopNumber, i % 3 + 1);
        EXPECT_EQ(spaces[i].displayID, i < 3 ? "A" : "B");
        EXPECT_EQ(spaces[i].spaceID, std::to_string(i + 1));
        EXPECT_EQ(spaces[i].isCurrentSpace, i == 1 || i == 5) << i;
        EXPECT_EQ(spaces[i].spaceName, "N/A");
    }
}

TEST(SnapshotRefresh, FullScreenSpacesAreCountedButNotDesktopsAndNamedByTheirApp) {
    Fixture f(scenario(
        display("A", 1,
                R"({"ManagedSpaceID": 1}, {"ManagedSpaceID": 2, "TileLayoutManager": {}, "pid": 10},
                   {"ManagedSpaceID": 3}, {"ManagedSpaceID": 4, "TileLayoutManager": {}, "pid": 11},
                   {"ManagedSpaceID": 5, "TileLayoutManager": {}, "pid": 99},
                   {"ManagedSpaceID": 6, "TileLayoutManager": {}},
                   {"ManagedSpaceID": 7, "TileLayoutManager": {}, "pid": "10"},
                   {"ManagedSpaceID": 8, "TileLayoutManager": {}, "pid": 12},
                   {"ManagedSpaceID": 9, "TileLayoutManager": {}, "pid": 13},
                   {"ManagedSpaceID": 10, "TileLayoutManager": "not a dictionary", "pid": 10},
                   {"ManagedSpaceID": 11, "TileLayoutManager": {}, "pid": 4294967306})"),
        R"("apps": [{"pid": 10, "localizedName": "Safari"}, {"pid": 11, "localizedName": "Qt"},
                    {"pid": 12, "localizedName": "e\u0301cole\u0301"},
                    {"pid": 13}])"));
    f.observer->refreshSpaces();
    const auto& spaces = f.last();
    ASSERT_EQ(spaces.size(), 11u);
    EXPECT_EQ(f.names(), (std::vector<std::string>{"N/A", "SAF", "N/A", "QT", "FUL", "FUL", "FUL",
                                                   "E\u0301CO", "FUL", "N/A", "FUL"}));
    EXPECT_EQ(spaces[1].desktopNumber, std::nullopt);
    EXPECT_TRUE(spaces[1].isFullScreen);
    EXPECT_EQ(spaces[2].desktopNumber, 2);
    EXPECT_EQ(spaces[2].spaceNumber, 3);
    // A "TileLayoutManager" that is no dictionary is an ordinary desktop.
    EXPECT_FALSE(spaces[9].isFullScreen);
    EXPECT_EQ(spaces[9].desktopNumber, 3);
}

TEST(SnapshotRefresh, MalformedDisplaysAndSpacesAreSkippedWithoutConsumingNumbers) {
    Fixture f(scenario(
        R"({"Current Space": {"ManagedSpaceID": 1}, "Spaces": [{"ManagedSpaceID": 1}]},
           {"Display Identifier": 7, "Current Space": {"ManagedSpaceID": 1}, "Spaces": [{"ManagedSpaceID": 1}]},
           {"Display Identifier": "C", "Current Space": [], "Spaces": [{"ManagedSpaceID": 1}]},
           {"Display Identifier": "D", "Current Space": {"ManagedSpaceID": 1.0}, "Spaces": [{"ManagedSpaceID": 1}]},
           {"Display Identifier": "E", "Current Space": {"ManagedSpaceID": 1}, "Spaces": [{"ManagedSpaceID": 1}, 5]},
           {"Display Identifier": "F", "Current Space": {"ManagedSpaceID": 1}, "Spaces": {}},)" +
        display("G", 21,
                R"({}, {"ManagedSpaceID": "20"}, {"TileLayoutManager": {}}, {"ManagedSpaceID": 21},
                            {"ManagedSpaceID": 22}, {"ManagedSpaceID": 2.5})")));
    f.observer->refreshSpaces();
    const auto& spaces = f.last();
    ASSERT_EQ(spaces.size(), 2u);
    EXPECT_EQ(spaces[0].spaceID, "21");
    EXPECT_EQ(spaces[0].spaceNumber, 1);
    EXPECT_EQ(spaces[0].desktopNumber, 1);
    EXPECT_TRUE(spaces[0].isCurrentSpace);
    EXPECT_EQ(spaces[1].spaceNumber, 2);
}

TEST(SnapshotRefresh, UnreadableAnswersAndAMissingCurrentSpaceChangeNothing) {
    for (const char* displays :
         {R"(null)", R"("text")", R"([1, 2])", R"([{"a": 1}, "x"])", R"({"a": 1})"}) {
        Fixture f(std::string(R"({"displays": )") + displays + "}");
        f.observer->refreshSpaces();
        EXPECT_TRUE(f.delegate->received.empty()) << displays;
        EXPECT_TRUE(f.observer->previousSpaceSignature().empty()) << displays;
        EXPECT_EQ(f.store.writes, 0) << displays;
    }
    // -1 ends the whole refresh, even after a good display.
    Fixture f(scenario(display("A", 1, R"({"ManagedSpaceID": 1})") + "," +
                       display("B", -1, R"({"ManagedSpaceID": 2})")));
    f.observer->refreshSpaces();
    EXPECT_TRUE(f.delegate->received.empty());
    EXPECT_EQ(f.store.writes, 0);
}

TEST(SnapshotRefresh, StoredNamesWinAndSurviveAcrossLaunches) {
    const auto stored =
        *encodeSpaceNames({{"2", {9, "Work"}}, {"3", {1, "Mail"}}, {"77", {3, "Old"}}});
    Fixture f(scenario(display("A", 1, R"({"ManagedSpaceID": 1}, {"ManagedSpaceID": 2},
                                          {"ManagedSpaceID": 3, "TileLayoutManager": {}, "pid": 10})"),
                       R"("apps": [{"pid": 10, "localizedName": "Safari"}])"),
              // Spelled as in the settings files earlier launches wrote.
              {{"spaceNames", Value(stored)}});
    f.observer->refreshSpaces();
    EXPECT_EQ(f.names(), (std::vector<std::string>{"N/A", "Work", "Mail"}));
    // The store now mirrors exactly the current spaces, with their current numbers.
    EXPECT_EQ(f.storedNames(),
              (SpaceNameMap{{"1", {1, "N/A"}}, {"2", {2, "Work"}}, {"3", {3, "Mail"}}}));
    EXPECT_EQ(f.store.writes, 1);
}

TEST(SnapshotRefresh, UndecodableStoredNamesFallBackAndAreRewritten) {
    Fixture f(
        scenario(
            display(
                "A", 1,
                R"({"ManagedSpaceID": 1}, {"ManagedSpaceID": 2, "TileLayoutManager": {}, "pid": 10})"),
            R"("apps": [{"pid": 10, "localizedName": "Safari"}])"),
        {{settings::kSpaceNames, Value(ByteString{'j', 'u', 'n', 'k'})}});
    f.observer->refreshSpaces();
    EXPECT_EQ(f.names(), (std::vector<std::string>{"N/A", "SAF"}));
    EXPECT_EQ(f.storedNames(), (SpaceNameMap{{"1", {1, "N/A"}}, {"2", {2, "SAF"}}}));
    // Names stored as something other than bytes are ignored, not decoded.
    Fixture g(scenario(display("A", 1, R"({"ManagedSpaceID": 1})")),
              {{settings::kSpaceNames, Value("Work")}});
    g.observer->refreshSpaces();
    EXPECT_EQ(g.names(), std::vector<std::string>{"N/A"});
}

TEST(SnapshotRefresh, PublishesOnlyWhenTheSignatureChanges) {
    Fixture f(scenario(display("A", 1, R"({"ManagedSpaceID": 1}, {"ManagedSpaceID": 2})")));
    f.observer->refreshSpaces();
    f.observer->refreshSpaces();
    EXPECT_EQ(f.delegate->received.size(), 1u);
    EXPECT_EQ(f.store.writes, 1);
    EXPECT_EQ(f.observer->previousSpaceSignature(), "1:false:false:0:1:true:,2:false:");

    // Names, numbers and display identifiers are not part of the signature.
    f.platform.windowServer.setDisplays(
        sim::parseScenario(
            scenario(display(
                "Other", 1,
                R"({"ManagedSpaceID": 1}, {"ManagedSpaceID": 2, "TileLayoutManager": {}})")),
            "t")
            .displays);
    f.observer->refreshSpaces();
    EXPECT_EQ(f.delegate->received.size(), 1u);
    // The name first chosen stays with the identifier, so nothing is written either.
    EXPECT_EQ(f.store.writes, 1);
    EXPECT_EQ(f.storedNames().at("2"), (SpaceNameInfo{2, "N/A"}));

    // Every visible setting does change it.
    int expected = 1;
    auto expectRepublished = [&](const char* what) {
        f.observer->refreshSpaces();
        EXPECT_EQ(f.delegate->received.size(), std::size_t(++expected)) << what;
    };
    f.platform.workspace.setAppearance(Appearance::Dark);
    expectRepublished("appearance");
    f.store.set(settings::kUseHighContrastBorders, Value(true));
    expectRepublished("borders");
    f.store.set(settings::kActiveSpaceColor,
                Value(ValueArray{Value(0.1), Value(0.2), Value(0.3), Value(1)}));
    expectRepublished("colour");
    f.store.set(settings::kActiveSpaceColor,
                Value(ValueArray{Value(0.1), Value(0.2), Value(0.3), Value(0.5)}));
    expectRepublished("other colour");
    f.store.set(settings::kDisplayStyle, Value(2));
    expectRepublished("style");
    f.platform.windowServer.setDisplays(
        sim::parseScenario(
            scenario(display("A", 2, R"({"ManagedSpaceID": 1}, {"ManagedSpaceID": 2})")), "t")
            .displays);
    expectRepublished("current space");
    EXPECT_EQ(f.observer->previousSpaceSignature().substr(0, 12), "2:true:true:");
}

TEST(SnapshotRefresh, TheWindowManagersNumbersNamesFullScreenAndUrgencyRepublishWhereItHasThem) {
    Fixture f(scenario(display("A", 1, R"({"ManagedSpaceID": 1})")));
    struct Shown {
        std::optional<std::int64_t> number;
        std::optional<std::string> name;
        SpaceKind kind = SpaceKind::Desktop;
        bool urgent = false;
        bool secondUrgent = false;
    };
    // Space 1 as given, space 2 with no number or name of the window manager's.
    auto show = [&](Shown first) {
        std::vector<DisplaySpace> spaces(2);
        spaces[0].id = 1;
        spaces[0].wmNumber = first.number;
        spaces[0].wmName = first.name;
        spaces[0].kind = first.kind;
        spaces[0].isUrgent = first.urgent;
        spaces[1].id = 2;
        spaces[1].isUrgent = first.secondUrgent;
        f.platform.windowServer.setDisplays(std::make_shared<const std::vector<Display>>(
            std::vector<Display>{{"A", 2, std::move(spaces)}}));
        f.observer->refreshSpaces();
        return f.delegate->received.size();
    };
    EXPECT_EQ(show({}), 1u);
    // Spaces without them sign as before.
    EXPECT_EQ(f.observer->previousSpaceSignature(), "1:false:false:0:1:false:,2:true:");
    EXPECT_EQ(show({9, "web"}), 2u);
    EXPECT_EQ(f.last()[0].wmNumber, 9);
    EXPECT_EQ(f.last()[0].wmName, "web");
    EXPECT_EQ(f.last()[0].spaceName, "N/A");
    EXPECT_EQ(show({9, "web"}), 2u);
    EXPECT_EQ(show({9, "mail"}), 3u);
    EXPECT_EQ(show({4, "mail"}), 4u);
    EXPECT_EQ(show({4, std::nullopt}), 5u);
    // A name that reads like a number is told apart from one.
    EXPECT_EQ(show({std::nullopt, "4"}), 6u);
    // The same workspace, now filled by its one window.
    EXPECT_EQ(show({std::nullopt, "4", SpaceKind::FullScreen}), 7u);
    EXPECT_TRUE(f.last()[0].isFullScreen);
    EXPECT_EQ(f.last()[1].desktopNumber, 1);
    // A window asks for attention there, and stops; then on the space without a label.
    EXPECT_EQ(show({std::nullopt, "4", SpaceKind::FullScreen, true}), 8u);
    EXPECT_TRUE(f.last()[0].isUrgent);
    EXPECT_EQ(show({std::nullopt, "4", SpaceKind::FullScreen}), 9u);
    EXPECT_EQ(show({std::nullopt, "4", SpaceKind::FullScreen, false, true}), 10u);
    EXPECT_TRUE(f.last()[1].isUrgent);
    EXPECT_EQ(show({std::nullopt, "4", SpaceKind::FullScreen}), 11u);
}

// The sim's workspace, counting each process as an app of its own.
class ProcessCountingWorkspace final : public tidemark::testing::ForwardingWorkspace {
public:
    using ForwardingWorkspace::ForwardingWorkspace;
    AppCounting appCounting() const override { return AppCounting::ByProcess; }
};

TEST(SnapshotRefresh, AnotherProcessOfAListedAppRepublishesWhereEachProcessIsAnApp) {
    const auto app = [](int pid) {
        return R"({"pid": )" + std::to_string(pid) + R"(, "bundleIdentifier": "xterm"})";
    };
    const auto window = [](int number, int pid) {
        return R"({"kCGWindowNumber": )" + std::to_string(number) + R"(, "kCGWindowOwnerPID": )" +
               std::to_string(pid) + R"(, "kCGWindowLayer": 0, "spaces": [1]})";
    };
    for (const auto counting : {AppCounting::ByAppKey, AppCounting::ByProcess}) {
        Fixture f(scenario(display("A", 1, R"({"ManagedSpaceID": 1})"),
                           R"("windows": [)" + window(1, 100) + ", " + window(2, 101) +
                               R"(], "apps": [)" + app(100) + "]"),
                  {{"displayStyle", Value(4)}});
        ProcessCountingWorkspace byProcess(f.platform.workspace);
        Workspace& workspace = counting == AppCounting::ByProcess
                                   ? static_cast<Workspace&>(byProcess)
                                   : f.platform.workspace;
        const auto observer =
            SpaceObserver::create({f.platform.mainQueue, f.store, f.platform.windowServer,
                                   workspace, f.platform.defaultCenter});
        observer->setDelegate(f.delegate);
        observer->refreshSpaces();
        // A second terminal process starts on the same space.
        f.platform.workspace.setApps(sim::parseApps(
            valueFromJson(parseJson("[" + app(100) + ", " + app(101) + "]")), "test: apps"));
        observer->refreshSpaces();
        const bool byProcessCounting = counting == AppCounting::ByProcess;
        ASSERT_EQ(f.delegate->received.size(), byProcessCounting ? 2u : 1u);
        EXPECT_EQ(f.last()[0].appDetails.size(), byProcessCounting ? 2u : 1u);
        EXPECT_EQ(f.last()[0].appIcons.size(), 1u);
    }
}

TEST(SnapshotRefresh, ColourHashCountsOnlyArraysOfNumbers) {
    Fixture f(scenario(display("A", 1, R"({"ManagedSpaceID": 1})")));
    f.store.set(settings::kActiveSpaceColor,
                Value(ValueArray{Value(0.1), Value("red"), Value(0.3), Value(1)}));
    f.observer->refreshSpaces();
    EXPECT_EQ(f.observer->previousSpaceSignature(), "1:false:false:0:1:true:");
    f.store.set(settings::kActiveSpaceColor, Value(ValueArray{Value(0.1), Value(0.2), Value(0.3)}));
    f.observer->refreshSpaces();
    EXPECT_NE(f.observer->previousSpaceSignature(), "1:false:false:0:1:true:");
}

TEST(SnapshotRefresh, AnEmptyDisplayListPublishesAnEmptySnapshotOnceAndClearsTheNames) {
    Fixture f(scenario(display("A", 1, R"({"ManagedSpaceID": 1})")));
    f.observer->refreshSpaces();
    f.platform.windowServer.setDisplays(Value(ValueArray{}));
    f.observer->refreshSpaces();
    f.observer->refreshSpaces();
    ASSERT_EQ(f.delegate->received.size(), 2u);
    EXPECT_TRUE(f.last().empty());
    EXPECT_EQ(f.observer->previousSpaceSignature(), "1:false:false:0:");
    EXPECT_EQ(f.storedNames(), SpaceNameMap{});
    EXPECT_EQ(f.store.writes, 2);
}

TEST(SnapshotRefresh, OtherStylesNeverAskForWindowsAndAGoneDelegateGetsNothing) {
    Fixture f(scenario(
        display("A", 1, R"({"ManagedSpaceID": 1})"),
        R"("windows": [{"kCGWindowLayer": 0, "kCGWindowNumber": 1, "kCGWindowOwnerPID": 5, "spaces": [1]}],
                          "apps": [{"pid": 5, "bundleIdentifier": "a.b"}])"));
    f.observer->refreshSpaces();
    EXPECT_EQ(f.platform.windowServer.windowListCalls(), 0);
    EXPECT_TRUE(f.last()[0].appDetails.empty());

    f.delegate.reset();
    f.store.set(settings::kUseHighContrastBorders, Value(true));
    f.observer->refreshSpaces();
    // The signature is still recorded, so the same state later publishes nothing either.
    EXPECT_EQ(f.observer->previousSpaceSignature(), "1:true:false:0:1:true:");
}

TEST(AppDelegate, LaunchRegistersDefaultsAndPublishesTheFirstSnapshotAtOnce) {
    SimHarness h(scenario(display("A", 1, R"({"ManagedSpaceID": 1})"),
                          R"("settings": {"hoverPopupEnabled": false})"));
    // The observer reads the style as it is built, so the defaults are there before it.
    EXPECT_TRUE(h.observer().hasWindowCheckTimer()) << "the registered opened-apps style";
    h.launch();
    EXPECT_EQ(h.delegate->snapshotCount(), 1);
    EXPECT_EQ(h.platform.settings.integer(settings::kDisplayStyle), 4);
    EXPECT_FALSE(h.platform.settings.boolean(settings::kUseHighContrastBorders));
    EXPECT_FALSE(h.platform.settings.boolean(settings::kHoverPopupEnabled));
    EXPECT_FALSE(h.platform.settings.storedValues().contains(settings::kDisplayStyle));

    // An appearance change schedules a refresh on the main queue, not inline.
    h.platform.workspace.setAppearance(Appearance::Dark);
    h.platform.workspace.events().post({WorkspaceEventKind::AppearanceChanged});
    EXPECT_EQ(h.delegate->snapshotCount(), 1);
    h.platform.mainQueue.advance(0.2);
    EXPECT_EQ(h.delegate->snapshotCount(), 2);
}
