#include "spaces/WindowSpaceMapper.h"

#include "platform/sim/SimPlatform.h"
#include "support/ForwardingWorkspace.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tidemark {
namespace {

using Keys = std::vector<std::string>;

// A normal window: layer 0, opaque, 800 x 600; `extra` replaces or adds members.
std::string window(int number, int pid, const std::string& spaces, const std::string& extra = "") {
    std::string json = R"({"kCGWindowNumber": )" + std::to_string(number) +
                       R"(, "kCGWindowOwnerPID": )" + std::to_string(pid);
    if (extra.find("kCGWindowLayer") == std::string::npos)
        json += R"(, "kCGWindowLayer": 0)";
    if (extra.find("kCGWindowAlpha") == std::string::npos)
        json += R"(, "kCGWindowAlpha": 1.0)";
    if (extra.find("kCGWindowBounds") == std::string::npos)
        json += R"(, "kCGWindowBounds": {"X": 0, "Y": 0, "Width": 800, "Height": 600})";
    if (!spaces.empty())
        json += R"(, "spaces": )" + spaces;
    if (!extra.empty())
        json += ", " + extra;
    return json + "}";
}

std::string app(int pid, const std::string& bundleId, const std::string& name = "",
                const std::string& extra = "") {
    std::string json = R"({"pid": )" + std::to_string(pid);
    if (!bundleId.empty())
        json += R"(, "bundleIdentifier": ")" + bundleId + "\"";
    if (!name.empty())
        json += R"(, "localizedName": ")" + name + "\"";
    if (!extra.empty())
        json += ", " + extra;
    return json + "}";
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i ? ", " : "") + parts[i];
    return out;
}

std::string scenario(const std::vector<std::string>& windows, const std::vector<std::string>& apps,
                     const std::string& extra = "") {
    return R"({"self": {"pid": 1, "bundleIdentifier": "io.tidemark.Tidemark"}, "windows": [)" +
           joined(windows) + R"(], "apps": [)" + joined(apps) + "]" +
           (extra.empty() ? "" : ", " + extra) + "}";
}

struct Fixture {
    explicit Fixture(const std::string& json)
        : platform(sim::parseScenario(json, "mapper test")),
          mapper(platform.windowServer, platform.workspace) {}

    SpaceAppMaps map(const std::vector<std::string>& ids = {"1", "2", "3"}) {
        return mapper.mapAppsToSpaces(ids);
    }

    sim::SimPlatform platform;
    WindowSpaceMapper mapper;
};

TEST(StripHelperSuffix, RemovesTheFirstMatchingSuffixOnly) {
    EXPECT_EQ(stripHelperSuffix("com.a.Browser.helper.renderer"), "com.a.Browser");
    EXPECT_EQ(stripHelperSuffix("com.a.Browser.helper (Renderer)"), "com.a.Browser");
    EXPECT_EQ(stripHelperSuffix("com.a.Browser.helper (GPU)"), "com.a.Browser");
    EXPECT_EQ(stripHelperSuffix("com.a.Browser.helper (Plugin)"), "com.a.Browser");
    EXPECT_EQ(stripHelperSuffix("com.a.Browser.helper"), "com.a.Browser");
    EXPECT_EQ(stripHelperSuffix("com.apple.Safari.WebContent"), "com.apple.Safari");
    EXPECT_EQ(stripHelperSuffix("com.apple.Safari.Networking"), "com.apple.Safari");
    EXPECT_EQ(stripHelperSuffix("com.apple.Safari.CloudTabs"), "com.apple.Safari");
    // One suffix at most, whole and case-sensitive.
    EXPECT_EQ(stripHelperSuffix("x.helper.helper"), "x.helper");
    EXPECT_EQ(stripHelperSuffix("x.WebContent.helper"), "x.WebContent");
    EXPECT_EQ(stripHelperSuffix("x.Helper"), "x.Helper");
    EXPECT_EQ(stripHelperSuffix("x.helper (gpu)"), "x.helper (gpu)");
    EXPECT_EQ(stripHelperSuffix("helpers"), "helpers");
    EXPECT_EQ(stripHelperSuffix(".helper"), "");
    EXPECT_EQ(stripHelperSuffix(""), "");
}

TEST(AppKey, BundleIdentifierElseNameElsePidThenStripped) {
    RunningApplication app;
    app.pid = 77;
    EXPECT_EQ(appKey(app), "pid-77");
    app.localizedName = "Tool.helper";
    EXPECT_EQ(appKey(app), "Tool");
    app.bundleIdentifier = "org.x.Tool.helper (GPU)";
    EXPECT_EQ(appKey(app), "org.x.Tool");
}

TEST(WindowSpaceMapper, EveryGivenSpaceGetsEntriesAndListsAreParallel) {
    Fixture f(scenario({window(10, 100, "[1, 3]"), window(11, 101, "[3]")},
                       {app(100, "org.a.A", "Alpha", R"("bundlePath": "/Apps/A.app")"),
                        app(101, "org.b.B", "Beta")}));
    const auto maps = f.map({"1", "2", "3", "4"});
    for (const auto* id : {"1", "2", "3", "4"}) {
        ASSERT_TRUE(maps.icons.contains(id)) << id;
        ASSERT_TRUE(maps.appKeys.contains(id)) << id;
        ASSERT_TRUE(maps.details.contains(id)) << id;
    }
    EXPECT_EQ(maps.appKeys.at("1"), Keys{"org.a.A"});
    EXPECT_TRUE(maps.appKeys.at("2").empty());
    EXPECT_EQ(maps.appKeys.at("3"), (Keys{"org.a.A", "org.b.B"}));
    const auto& details = maps.details.at("3");
    ASSERT_EQ(details.size(), 2u);
    EXPECT_EQ(details[0].appName, "Alpha");
    EXPECT_EQ(details[0].bundleID, "org.a.A");
    EXPECT_EQ(details[0].pid, 100);
    EXPECT_EQ(details[1].appName, "Beta");
    EXPECT_EQ(details[1].pid, 101);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(maps.icons.at("3")[i], details[i].appIcon);
}

TEST(WindowSpaceMapper, AppsAreListedOncePerSpaceInFrontToBackOrder) {
    // B's frontmost window is on 2, A's on 1 and 3; A's later window on 2 comes after B's.
    Fixture f(scenario({window(10, 100, "[1, 3]"), window(11, 101, "[2]"), window(12, 102, "[3]"),
                        window(13, 100, "[2]"), window(14, 100, "[1, 2, 3]")},
                       {app(100, "org.a.A"), app(101, "org.b.B"), app(102, "org.c.C")}));
    const auto maps = f.map();
    EXPECT_EQ(maps.appKeys.at("1"), Keys{"org.a.A"});
    EXPECT_EQ(maps.appKeys.at("2"), (Keys{"org.b.B", "org.a.A"}));
    EXPECT_EQ(maps.appKeys.at("3"), (Keys{"org.a.A", "org.c.C"}));
}

TEST(WindowSpaceMapper, WindowFiltersOnLayerAlphaSizeAndRequiredKeys) {
    Fixture f(scenario(
        {
            window(1, 101, "[1]", R"("kCGWindowLayer": 25)"),
            window(2, 102, "[1]", R"("kCGWindowLayer": null)"),
            window(3, 103, "[1]", R"("kCGWindowAlpha": 0.005)"),
            window(4, 104, "[1]", R"("kCGWindowBounds": {"Width": 49, "Height": 600})"),
            window(5, 105, "[1]", R"("kCGWindowBounds": {"Width": 600, "Height": 49.5})"),
            R"({"kCGWindowLayer": 0, "kCGWindowOwnerPID": 106, "spaces": [1]})",
            window(7, 107, "[1]", R"("kCGWindowNumber": "7")"),
            R"({"kCGWindowLayer": 0, "kCGWindowNumber": 8, "spaces": [1]})",
            window(9, 109, "[1]", R"("kCGWindowOwnerPID": 4294967296)"),
            window(10, 999, "[1]"),
            // These count: alpha exactly at the bound, a mistyped alpha, bounds without a
            // height, mistyped bounds, no bounds at all.
            window(11, 111, "[2]", R"("kCGWindowAlpha": 0.01)"),
            window(12, 112, "[2]", R"("kCGWindowAlpha": "clear")"),
            window(13, 113, "[2]", R"("kCGWindowBounds": {"Width": 10})"),
            window(14, 114, "[2]", R"("kCGWindowBounds": [10, 10])"),
            R"({"kCGWindowLayer": 0, "kCGWindowNumber": 15, "kCGWindowOwnerPID": 115, "spaces": [3]})",
        },
        {app(101, "a1"), app(102, "a2"), app(103, "a3"), app(104, "a4"), app(105, "a5"),
         app(106, "a6"), app(107, "a7"), app(109, "a9"), app(111, "b1"), app(112, "b2"),
         app(113, "b3"), app(114, "b4"), app(115, "c5")}));
    const auto maps = f.map();
    EXPECT_TRUE(maps.appKeys.at("1").empty());
    EXPECT_EQ(maps.appKeys.at("2"), (Keys{"b1", "b2", "b3", "b4"}));
    EXPECT_EQ(maps.appKeys.at("3"), Keys{"c5"});
}

TEST(WindowSpaceMapper, HiddenTerminatedBackgroundAndOwnAppsAreNeverListed) {
    Fixture f(scenario(
        {window(1, 101, "[1]"), window(2, 102, "[1]"), window(3, 103, "[1]"), window(4, 104, "[1]"),
         window(5, 1, "[1]"), window(6, 106, "[1]"), window(7, 107, "[1]")},
        {app(1, "io.tidemark.Tidemark", "Tidemark"), app(101, "hidden", "", R"("hidden": true)"),
         app(102, "quit", "", R"("terminated": true)"),
         app(103, "accessory", "", R"("activationPolicy": "accessory")"),
         app(104, "prohibited", "", R"("activationPolicy": "prohibited")"),
         // A helper of this program folds into its key.
         app(106, "io.tidemark.Tidemark.helper"), app(107, "shown")}));
    EXPECT_EQ(f.map().appKeys.at("1"), Keys{"shown"});
}

TEST(WindowSpaceMapper, HelpersFoldIntoTheirAppAndShareItsIcon) {
    Fixture f(scenario({window(1, 101, "[1]"), window(2, 100, "[1, 2]"), window(3, 101, "[2]")},
                       {app(100, "org.x.Browser", "Browser"),
                        app(101, "org.x.Browser.helper (GPU)", "Browser Helper (GPU)")}));
    const auto maps = f.map();
    EXPECT_EQ(maps.appKeys.at("1"), Keys{"org.x.Browser"});
    EXPECT_EQ(maps.appKeys.at("2"), Keys{"org.x.Browser"});
    // The first window seen names the entry: here the helper's.
    EXPECT_EQ(maps.details.at("1")[0].pid, 101);
    EXPECT_EQ(maps.details.at("2")[0].pid, 100);
    EXPECT_EQ(maps.icons.at("1")[0], maps.icons.at("2")[0]);
    EXPECT_EQ(f.mapper.iconCacheSize(), 1u);
}

// The sim's workspace, counting each process as an app of its own.
class ProcessCountingWorkspace final : public testing::ForwardingWorkspace {
public:
    using ForwardingWorkspace::ForwardingWorkspace;
    AppCounting appCounting() const override { return AppCounting::ByProcess; }
};

TEST(WindowSpaceMapper, RowsFollowHowTheDesktopCountsAppsWhileIconsStayOnePerKey) {
    // Two terminals on 1 (one with two windows), a third on every space; five apps fill 2,
    // then a second process of the first of them and a terminal window come.
    std::vector<std::string> windows{window(1, 100, "[1]"), window(2, 101, "[1]"),
                                     window(3, 100, "[1]")};
    std::vector<std::string> apps{app(100, "xterm", "XTerm"), app(101, "xterm", "XTerm"),
                                  app(102, "xterm", "XTerm"), app(305, "k0")};
    for (int i = 0; i < 5; ++i) {
        windows.push_back(window(10 + i, 300 + i, "[2]"));
        apps.push_back(app(300 + i, "k" + std::to_string(i)));
    }
    windows.push_back(window(20, 305, "[2]"));
    windows.push_back(window(21, 100, "[2]"));
    windows.push_back(window(22, 102, "[1, 2, 3]"));
    const Keys fullKeys{"k0", "k1", "k2", "k3", "k4"};
    using Pids = std::vector<std::int32_t>;
    struct Case {
        AppCounting counting;
        std::map<std::string, Pids> rows;
        Pids rowsOfTwoAlone; // mapping space 2 alone, which fills it before the last windows
    };
    const std::vector<Case> cases{
        {AppCounting::ByAppKey,
         {{"1", {100}}, {"2", {300, 301, 302, 303, 304}}, {"3", {102}}},
         {300, 301, 302, 303, 304}},
        {AppCounting::ByProcess,
         {{"1", {100, 101, 102}}, {"2", {300, 301, 302, 303, 304, 305}}, {"3", {102}}},
         {300, 301, 302, 303, 304, 305}},
    };
    for (const auto& c : cases) {
        sim::SimPlatform platform(sim::parseScenario(scenario(windows, apps), "counting test"));
        ProcessCountingWorkspace byProcess(platform.workspace);
        Workspace& workspace = c.counting == AppCounting::ByProcess
                                   ? static_cast<Workspace&>(byProcess)
                                   : platform.workspace;
        WindowSpaceMapper mapper(platform.windowServer, workspace);
        const auto pidsOf = [](const std::vector<SpaceAppDetail>& details) {
            Pids pids;
            for (const auto& detail : details)
                pids.push_back(detail.pid);
            return pids;
        };
        const auto maps = mapper.mapAppsToSpaces({"1", "2", "3"});
        const int counting = int(c.counting);
        EXPECT_EQ(maps.appKeys.at("1"), Keys{"xterm"}) << counting;
        EXPECT_EQ(maps.appKeys.at("2"), fullKeys) << counting;
        EXPECT_EQ(maps.appKeys.at("3"), Keys{"xterm"}) << counting;
        for (const auto& [id, pids] : c.rows) {
            EXPECT_EQ(pidsOf(maps.details.at(id)), pids) << counting << " space " << id;
            EXPECT_EQ(maps.icons.at(id).size(), maps.appKeys.at(id).size()) << counting;
            // A process's row shows its key's icon.
            for (const auto& detail : maps.details.at(id)) {
                const auto& keys = maps.appKeys.at(id);
                const auto at = std::find(keys.begin(), keys.end(), detail.bundleID);
                ASSERT_NE(at, keys.end()) << counting;
                EXPECT_EQ(detail.appIcon, maps.icons.at(id)[std::size_t(at - keys.begin())]);
            }
        }
        EXPECT_EQ(pidsOf(mapper.mapAppsToSpaces({"2"}).details.at("2")), c.rowsOfTwoAlone)
            << counting;
    }
}

TEST(WindowSpaceMapper, AppWithoutIdentityIsKeyedByPidAndNamedByKey) {
    Fixture f(scenario({window(1, 321, "[1]")}, {app(321, "")}));
    const auto maps = f.map();
    ASSERT_EQ(maps.details.at("1").size(), 1u);
    EXPECT_EQ(maps.details.at("1")[0].bundleID, "pid-321");
    EXPECT_EQ(maps.details.at("1")[0].appName, "pid-321");
}

TEST(WindowSpaceMapper, AtMostFiveAppsPerSpaceAndTheWalkStopsWhenAllAreFull) {
    std::vector<std::string> windows, apps;
    for (int i = 0; i < 7; ++i) {
        windows.push_back(window(10 + i, 100 + i, "[1, 2]"));
        apps.push_back(app(100 + i, "app" + std::to_string(i)));
    }
    // Behind the first seven: a window of a listed app and one more app.
    windows.push_back(window(30, 100, "[1]"));
    windows.push_back(window(31, 200, "[1]"));
    apps.push_back(app(200, "late"));
    Fixture f(scenario(windows, apps));
    const auto maps = f.map({"1", "2"});
    const Keys firstFive{"app0", "app1", "app2", "app3", "app4"};
    EXPECT_EQ(maps.appKeys.at("1"), firstFive);
    EXPECT_EQ(maps.appKeys.at("2"), firstFive);
}

TEST(WindowSpaceMapper, StickyWindowIsListedOnEverySpaceWithinTheLimit) {
    std::vector<std::string> windows, apps;
    for (int i = 0; i < 5; ++i) {
        windows.push_back(window(10 + i, 100 + i, "[2]"));
        apps.push_back(app(100 + i, "front" + std::to_string(i)));
    }
    windows.push_back(window(50, 150, "[1, 2, 3]"));
    apps.push_back(app(150, "sticky"));
    Fixture f(scenario(windows, apps));
    const auto maps = f.map();
    EXPECT_EQ(maps.appKeys.at("1"), Keys{"sticky"});
    EXPECT_EQ(maps.appKeys.at("2").size(), 5u);
    EXPECT_EQ(maps.appKeys.at("2").back(), "front4");
    EXPECT_EQ(maps.appKeys.at("3"), Keys{"sticky"});
}

TEST(WindowSpaceMapper, UnusableSpaceAnswersAndUnknownSpacesAreSkipped) {
    Fixture f(scenario({window(1, 101, R"("everywhere")"), window(2, 102, ""),
                        window(3, 103, R"([7, "2", 2.0, 3])"), window(4, 104, "[]")},
                       {app(101, "a"), app(102, "b"), app(103, "c"), app(104, "d")}));
    const auto maps = f.map();
    EXPECT_TRUE(maps.appKeys.at("1").empty());
    EXPECT_TRUE(maps.appKeys.at("2").empty());
    EXPECT_EQ(maps.appKeys.at("3"), Keys{"c"});
}

TEST(WindowSpaceMapper, SpacesAreFoundOnlyByTheirOwnDecimalText) {
    Fixture f(scenario({window(1, 101, "[1, -3]"), window(2, 102, "[12]")},
                       {app(101, "a"), app(102, "b")}));
    const auto maps = f.map({"01", "1", "-3", "12", "1"});
    EXPECT_TRUE(maps.appKeys.at("01").empty());
    EXPECT_EQ(maps.appKeys.at("1"), Keys{"a"});
    EXPECT_EQ(maps.appKeys.at("-3"), Keys{"a"});
    EXPECT_EQ(maps.appKeys.at("12"), Keys{"b"});
}

TEST(WindowSpaceMapper, MissingSpacesForWindowsFunctionListsNothing) {
    Fixture f(scenario({window(1, 101, "[1]")}, {app(101, "a")},
                       R"("spacesForWindowsAvailable": false)"));
    const auto maps = f.map();
    EXPECT_EQ(maps.appKeys.size(), 3u);
    EXPECT_TRUE(maps.appKeys.at("1").empty());
    EXPECT_TRUE(maps.icons.at("1").empty());
}

TEST(WindowSpaceMapper, NoUsableWindowListGivesEmptyListsForEverySpace) {
    for (const char* windows : {R"("windows": null)", R"("windows": [{"kCGWindowLayer": 0}, 5])"}) {
        Fixture f(std::string(R"({"apps": [{"pid": 1, "bundleIdentifier": "a"}], )") + windows +
                  "}");
        const auto maps = f.map();
        EXPECT_EQ(maps.details.size(), 3u) << windows;
        EXPECT_TRUE(maps.details.at("2").empty()) << windows;
    }
}

TEST(WindowSpaceMapper, IconsComeFromTheBundleThenTheAppThenTheGenericIconScaledTo36) {
    Fixture f(scenario({window(1, 101, "[1]"), window(2, 102, "[1]")},
                       {app(101, "org.a.A", "Alpha", R"("bundlePath": "/Apps/Alpha.app")"),
                        app(102, "org.b.B", "Beta")}));
    const auto maps = f.map();
    const auto& icons = maps.icons.at("1");
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0]->name(), "file:/Apps/Alpha.app");
    EXPECT_EQ(icons[1]->name(), "app:Beta");
    for (const auto& icon : icons) {
        EXPECT_EQ(icon->size(), (Size{36, 36}));
        ASSERT_NE(icon->bitmap(), nullptr);
        EXPECT_EQ(icon->bitmap()->width, 36);
    }
    // A second pass serves the same images from the cache.
    const auto again = f.map();
    EXPECT_EQ(again.icons.at("1")[0], icons[0]);
    EXPECT_EQ(again.icons.at("1")[1], icons[1]);
}

// Hands out the running apps, then lets them all quit before anything else is asked.
class QuittingWorkspace final : public testing::ForwardingWorkspace {
public:
    explicit QuittingWorkspace(sim::SimWorkspace& inner)
        : ForwardingWorkspace(inner), inner_(inner) {}
    std::vector<RunningApplication> runningApplications() override {
        auto apps = inner_.runningApplications();
        inner_.setApps({});
        return apps;
    }

private:
    sim::SimWorkspace& inner_;
};

TEST(WindowSpaceMapper, AppThatQuitsBeforeItsIconIsLoadedGetsTheGenericIcon) {
    sim::SimPlatform platform(sim::parseScenario(
        scenario({window(1, 101, "[1]")}, {app(101, "org.a.A", "Alpha")}), "quit test"));
    QuittingWorkspace workspace(platform.workspace);
    WindowSpaceMapper mapper(platform.windowServer, workspace);
    const auto maps = mapper.mapAppsToSpaces({"1"});
    ASSERT_EQ(maps.icons.at("1").size(), 1u);
    EXPECT_EQ(maps.icons.at("1")[0]->name(), "generic");
    EXPECT_EQ(maps.details.at("1")[0].appName, "Alpha");
}

TEST(WindowSpaceMapper, RemoveAndPruneDropCachedIcons) {
    Fixture f(scenario({window(1, 101, "[1]"), window(2, 102, "[1]"), window(3, 103, "[1]"),
                        window(4, 104, "[1]")},
                       {app(101, "org.a.A"), app(102, "org.b.B.helper"), app(103, "", "Named"),
                        app(104, "org.d.D")}));
    f.map();
    EXPECT_EQ(f.mapper.iconCacheSize(), 4u);
    f.mapper.removeCachedIcon("org.d.D");
    f.mapper.removeCachedIcon("not cached");
    EXPECT_FALSE(f.mapper.hasCachedIcon("org.d.D"));
    EXPECT_EQ(f.mapper.iconCacheSize(), 3u);

    // Pruning keeps keys that are a running app's stripped bundle identifier: the helper's
    // app stays; the name-keyed entry and the quit app go.
    f.platform.workspace.setApps(sim::parseApps(
        Value(ValueArray{
            Value(ValueDictionary{{"pid", Value(102)},
                                  {"bundleIdentifier", Value("org.b.B.helper")}}),
            Value(ValueDictionary{{"pid", Value(103)}, {"localizedName", Value("Named")}})}),
        "test: apps"));
    f.mapper.pruneIconCache();
    EXPECT_EQ(f.mapper.iconCacheSize(), 1u);
    EXPECT_TRUE(f.mapper.hasCachedIcon("org.b.B"));
}

// 60 apps on 12 spaces, five each; `bundled` of them have bundle identifiers.
std::string sixtyApps(int bundled) {
    std::vector<std::string> windows, apps;
    for (int i = 0; i < 60; ++i) {
        windows.push_back(window(1000 + i, 100 + i, "[" + std::to_string(i / 5 + 1) + "]"));
        const auto index = std::to_string(100 + i);
        apps.push_back(i < bundled ? app(100 + i, "org.b" + index) : app(100 + i, "", "N" + index));
    }
    return scenario(windows, apps);
}

// Spaces "1" to `count`.
std::vector<std::string> spaceIDs(int count) {
    std::vector<std::string> ids;
    for (int i = 1; i <= count; ++i)
        ids.push_back(std::to_string(i));
    return ids;
}

TEST(WindowSpaceMapper, CacheIsCutBackTo50DroppingNonBundleKeysFirst) {
    Fixture mixed(sixtyApps(30));
    const auto maps = mixed.map(spaceIDs(12));
    EXPECT_EQ(maps.appKeys.at("12").size(), 5u);
    // 60 entries: the 30 name keys go; the 30 bundle keys stay.
    EXPECT_EQ(mixed.mapper.iconCacheSize(), 30u);
    EXPECT_TRUE(mixed.mapper.hasCachedIcon("org.b100"));
    EXPECT_FALSE(mixed.mapper.hasCachedIcon("N159"));

    Fixture bundled(sixtyApps(60));
    bundled.map(spaceIDs(12));
    EXPECT_EQ(bundled.mapper.iconCacheSize(), 50u);
    // The rest goes in the cache's own order: here the keys sorted first.
    EXPECT_FALSE(bundled.mapper.hasCachedIcon("org.b100"));
    EXPECT_FALSE(bundled.mapper.hasCachedIcon("org.b109"));
    EXPECT_TRUE(bundled.mapper.hasCachedIcon("org.b110"));
    EXPECT_TRUE(bundled.mapper.hasCachedIcon("org.b159"));
}

// An evicted icon that the shown spaces still hold is taken back, not loaded and scaled
// again; the mapper itself keeps no more than the cache's 50, and a quit app's icon is
// loaded afresh.
TEST(WindowSpaceMapper, EvictedIconsStillHeldAreTakenBackNotReloaded) {
    Fixture f(sixtyApps(60));
    auto shown = f.map(spaceIDs(12));
    const auto& first = shown.icons.at("1");
    ASSERT_FALSE(f.mapper.hasCachedIcon("org.b100"));
    const std::weak_ptr<const Image> evicted = first[1];

    auto again = f.map(spaceIDs(12));
    EXPECT_EQ(again.icons.at("1"), first);
    EXPECT_EQ(f.mapper.iconCacheSize(), 50u);

    f.mapper.removeCachedIcon("org.b100");
    auto afterQuit = f.map(spaceIDs(12));
    EXPECT_NE(afterQuit.icons.at("1")[0], first[0]);
    EXPECT_EQ(afterQuit.icons.at("1")[0]->size(), (Size{36, 36}));

    shown = again = afterQuit = {};
    f.map(spaceIDs(12));
    EXPECT_TRUE(evicted.expired());
}

TEST(WindowSpaceMapper, CacheOfAtMost50IsLeftAlone) {
    Fixture f(sixtyApps(0));
    f.map(spaceIDs(10));
    EXPECT_EQ(f.mapper.iconCacheSize(), 50u);
}

} // namespace
} // namespace tidemark
