#include "system/ScanWorld.h"

#include <atomic>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace tidemark::testing {
namespace {

using ::testing::ElementsAre;

constexpr int kChrome = 100;

// Chrome with a renderer, a GPU process, a crash handler and a grandchild helper.
ScenarioBuilder chromeFamily() {
    ScenarioBuilder s;
    s.app(kChrome, "com.google.Chrome", "Google Chrome")
        .process(kChrome, 1, "Google Chrome", {}, 300)
        .process(101, kChrome, "Google Chrome Helper (Renderer)", {}, 200)
        .process(102, kChrome, "Google Chrome Helper (GPU)", {}, 100)
        .process(103, kChrome, "chrome_crashpad_handler", {}, 5)
        .process(104, 101, "Google Chrome Helper", {}, 50)
        .process(200, 1, "bash", {}, 4);
    // Another app's real window changes nothing for Chrome.
    s.app(300, "com.example.editor", "Editor").process(300, 1, "editor");
    s.window(ScenarioBuilder::realWindow(1, 300));
    return s;
}

const std::vector<std::string> kChromeListed{
    "100 Google Chrome <Google Chrome>", "101 Google Chrome Helper (Renderer) <Google Chrome>",
    "102 Google Chrome Helper (GPU) <Google Chrome>", "104 Google Chrome Helper <Google Chrome>",
    "103 chrome_crashpad_handler <Google Chrome>"};

TEST(ResidualScan, WindowlessBrowserIsListedWithEveryDescendant) {
    ScanWorld world(chromeFamily());
    const auto found = world.scan();
    EXPECT_EQ(described(found), kChromeListed);
    EXPECT_EQ(found[0].memoryBytes, 300u * 1048576);
    EXPECT_EQ(found[0].startTime, 1100u);
    // Only generic names that need it pay for reading argument text.
    EXPECT_EQ(world.kernel.argumentTextQueries(), 0);
}

// The family with a real window of `owner`, pattern matching kept on (Slack is installed) and
// a Chrome helper outside the family's tree.
ScenarioBuilder chromeShownBy(int owner) {
    auto s = chromeFamily();
    s.window(ScenarioBuilder::realWindow(7, owner));
    s.installed("com.tinyspeck.slackmacgap");
    s.process(500, 1, "Google Chrome Helper");
    return s;
}

// The family with windows too narrow, transparent, high or on no space to count.
ScenarioBuilder chromeWithUnrealWindows() {
    auto narrow = ScenarioBuilder::realWindow(2, kChrome);
    narrow["kCGWindowBounds"]["Width"] = 40.0;
    auto transparent = ScenarioBuilder::realWindow(3, kChrome);
    transparent["kCGWindowAlpha"] = 0.005;
    auto panel = ScenarioBuilder::realWindow(4, kChrome);
    panel["kCGWindowLayer"] = 25;
    auto nowhere = ScenarioBuilder::realWindow(5, kChrome);
    nowhere.erase("spaces");
    return chromeFamily().window(narrow).window(transparent).window(panel).window(nowhere);
}

// Java build daemons: a Gradle daemon outside any IDE's tree.
const char* kGradleArgs = "/usr/lib/jvm/bin/java -Xmx2g -cp /opt/gradle/lib/gradle-launcher.jar "
                          "org.gradle.launcher.daemon.bootstrap.GradleDaemon 8.5 HOME=/home/u";

struct Listing {
    const char* name;
    ScenarioBuilder world;
    std::vector<std::string> listed;
};

// Scenarios that differ only in who runs, what is installed and which windows exist.
std::vector<Listing> listings() {
    const std::string androidArgs = std::string(kGradleArgs) + " ANDROID_HOME=/opt/sdk";
    const Json kotlin = {
        {"args", "java -cp kotlin-compiler.jar org.jetbrains.kotlin.daemon.KotlinCompileDaemon"}};
    // A row without the kotlin-daemon name still takes it as a JetBrains process.
    const auto pycharm =
        ScenarioBuilder()
            .installed("com.jetbrains.pycharm")
            .process(610, 1, "java", kotlin)
            .process(611, 1, "JAVA", {{"args", "java -Didea.home=/opt/x -jar server.jar"}})
            .process(612, 1, "java", {{"args", "java -jar plain-server.jar"}})
            .process(613, 1, "java");
    const auto gradle =
        ScenarioBuilder()
            .installed("com.google.android.studio")
            .installed("com.jetbrains.intellij")
            .process(600, 1, "java", {{"path", "/usr/lib/jvm/bin/java"}, {"args", kGradleArgs}});
    auto unreadable = ScenarioBuilder()
                          .app(100, "org.example.viewer", "Viewer")
                          .process(100, 1, "viewer")
                          .process(101, 100, "child", {{"name", nullptr}})
                          .process(102, 100, "child", {{"name", ""}});
    unreadable.root["processes"].push_back({{"pid", 0}, {"name", "kernel_task"}});
    const auto codeHelpers =
        ScenarioBuilder().process(800, 1, "Code Helper").process(801, 1, "Code Helper (GPU)");
    auto chromeWithoutWindowList = chromeFamily();
    chromeWithoutWindowList.root["windows"] = nullptr;
    // This program (pid 40) runs in a shell of a terminal whose window the scan does not see
    // (kept out of sight, say), next to a windowless viewer; a window claims one of its threads.
    const auto ownTerminal = ScenarioBuilder()
                                 .app(100, "org.example.Terminal", "Terminal")
                                 .process(100, 1, "terminal")
                                 .process(101, 100, "bash")
                                 .process(40, 101, "tidemark")
                                 .process(102, 100, "vim")
                                 .app(45, "org.example.claimed", "Claimed")
                                 .process(45, 1, "tidemark", {{"threadOf", 40}})
                                 .app(200, "org.example.Viewer", "Viewer")
                                 .process(200, 1, "viewer")
                                 .process(201, 200, "viewer-worker");
    // Apps whose windows' owners were recorded: still the same process (200), another one
    // on the same pid since (300), and one that had ended before its window was seen (400).
    auto seenOwners = ScenarioBuilder()
                          .app(200, "org.example.Viewer", "Viewer")
                          .process(200, 1, "viewer")
                          .process(201, 200, "viewer-worker")
                          .app(300, "org.example.Editor", "Editor")
                          .process(300, 1, "editor")
                          .process(301, 300, "editor-worker")
                          .app(400, "org.example.Player", "Player")
                          .process(400, 1, "player");
    seenOwners.root["apps"][0]["seenOwnerStartTime"] = 1200;
    seenOwners.root["apps"][1]["seenOwnerStartTime"] = 7;
    seenOwners.root["apps"][2]["seenOwnerStartTime"] = nullptr;
    // Linux: apps go by desktop-entry ids, helpers by the kernel's names and install folders.
    const auto editorLeftovers = ScenarioBuilder()
                                     .app(100, "code", "Visual Studio Code")
                                     .process(100, 1, "code", {{"path", "/usr/share/code/code"}})
                                     .process(101, 100, "code", {{"path", "/usr/share/code/code"}});
    const auto browserLeftovers =
        ScenarioBuilder()
            .installed("google-chrome")
            .installed("code")
            .process(110, 1, "chrome_crashpad_handler",
                     {{"path", "/opt/google/chrome/chrome_crashpad_handler"}})
            .process(111, 1, "nacl_helper", {{"path", "/opt/google/chrome/nacl_helper"}})
            .process(112, 1, "chrome_crashpad_handler",
                     {{"path", "/usr/share/code/chrome_crashpad_handler"}})
            .process(113, 1, "chrome_crashpad_handler",
                     {{"path", "/usr/lib/other/chrome_crashpad_handler"}})
            // Chromium's own "chrome", not Google's.
            .process(114, 1, "chrome", {{"path", "/snap/chromium/2890/usr/lib/chromium/chrome"}});
    // The desktop's own programs, windowless or not, and another run of this program.
    const auto desktopShell =
        ScenarioBuilder()
            .installed("org.telegram.desktop")
            .app(300, "pcmanfm", "PCManFM")
            .process(300, 1, "pcmanfm", {{"args", "pcmanfm --desktop --profile LXDE"}})
            .app(301, "pcmanfm", "PCManFM")
            .process(301, 1, "pcmanfm", {{"args", "pcmanfm --desktop-pref"}})
            .app(302, "Polybar", "polybar")
            .process(302, 1, "polybar")
            .app(303, "org.example.Terminal", "Terminal")
            .process(303, 1, "terminal")
            .process(304, 303, "tidemark", {{"args", "tidemark watch"}})
            .process(305, 303, "xfdesktop")
            .process(306, 1, "Telegram");
    return {
        {"linux app by its desktop id",
         editorLeftovers,
         {"100 Visual Studio Code <Visual Studio Code>", "101 code <Visual Studio Code>"}},
        {"linux app by its desktop id, in use",
         ScenarioBuilder(editorLeftovers).window(ScenarioBuilder::realWindow(1, 101)),
         {}},
        {"linux helpers by name",
         ScenarioBuilder()
             .installed("com.slack.Slack")
             .process(120, 1, "slack")
             .process(121, 1, "Discord")
             .process(122, 1, "zoom"),
         {"120 slack <Slack>"}},
        {"linux helpers by install folder",
         browserLeftovers,
         {"110 chrome_crashpad_handler <Google Chrome>", "111 nacl_helper <Google Chrome>",
          "112 chrome_crashpad_handler <Visual Studio Code>"}},
        {"never the desktop's own programs",
         desktopShell,
         {"301 PCManFM <PCManFM>", "303 Terminal <Terminal>", "306 Telegram <Telegram>"}},
        // A window owned by the app itself, and one owned by a helper (credited to the app
        // through its ancestors), each hide the whole family.
        {"window of the browser", chromeShownBy(kChrome), {}},
        {"window of a helper", chromeShownBy(101), {}},
        {"windows that are not real", chromeWithUnrealWindows(), kChromeListed},
        // A failed window list makes every app windowless.
        {"failed window list",
         chromeWithoutWindowList,
         {"100 Google Chrome <Google Chrome>",
          "101 Google Chrome Helper (Renderer) <Google Chrome>",
          "102 Google Chrome Helper (GPU) <Google Chrome>",
          "104 Google Chrome Helper <Google Chrome>", "300 Editor <Editor>",
          "103 chrome_crashpad_handler <Google Chrome>"}},
        {"docker running",
         ScenarioBuilder()
             .installed("com.docker.docker")
             .app(700, "com.docker.docker", "Docker", "accessory")
             .process(700, 1, "Docker")
             .process(701, 1, "vpnkit")
             .process(702, 1, "kubectl")
             .process(703, 1, "docker-compose"),
         {}},
        {"docker quit",
         ScenarioBuilder()
             .installed("com.docker.docker")
             .process(701, 1, "vpnkit", {}, 30)
             .process(702, 1, "kubectl", {}, 20)
             .process(704, 1, "com.docker.hyperkit", {}, 10),
         {"701 vpnkit <Docker>", "702 kubectl <Docker>", "704 com.docker.hyperkit <Docker>"}},
        {"docker neither installed nor running", ScenarioBuilder().process(701, 1, "vpnkit"), {}},
        {"editor not installed", codeHelpers, {}},
        {"editor installed",
         ScenarioBuilder(codeHelpers).installed("com.microsoft.VSCode"),
         {"800 Code Helper <Visual Studio Code>", "801 Code Helper (GPU) <Visual Studio Code>"}},
        {"community edition counts as the IDE",
         ScenarioBuilder().installed("com.jetbrains.intellij.ce").process(900, 1, "idea"),
         {"900 idea <IntelliJ IDEA>"}},
        {"windowless apps without a pattern need a dock icon",
         ScenarioBuilder()
             .app(800, "org.example.Viewer", "Viewer")
             .process(800, 1, "viewer")
             .process(900, 800, "viewer-worker")
             .app(801, "org.example.agent", "Agent", "accessory")
             .process(801, 1, "agent")
             .app(802, "org.example.notesapp", std::nullopt)
             .process(802, 1, "notes")
             .app(803, "org.example.windowed", "Windowed")
             .process(803, 1, "windowed")
             .app(804, "org.example.gone", "Gone", "regular", true)
             .app(805, std::nullopt, "Nameless")
             // Never listed: this program (by identifier or by pid) and the file manager.
             .app(40, "org.example.other-self", "Me")
             .app(806, "IO.Tidemark.Tidemark", "Me again")
             .app(807, "com.apple.Finder", "Finder")
             .window(ScenarioBuilder::realWindow(1, 803)),
         {"800 Viewer <Viewer>", "802 Notesapp <Notesapp>", "900 viewer-worker <Viewer>"}},
        {"a process with a real window",
         ScenarioBuilder()
             .installed("com.tinyspeck.slackmacgap")
             .process(950, 1, "Slack Helper")
             .process(951, 1, "Slack Helper")
             .window(ScenarioBuilder::realWindow(1, 950)),
         {"951 Slack Helper <Slack>"}},
        {"helper app of a windowed app",
         ScenarioBuilder()
             .installed("com.google.Chrome")
             .app(110, "com.google.Chrome.helper", "Chrome Helper", "accessory")
             .process(110, 1, "Google Chrome Helper")
             .process(111, 1, "Google Chrome Helper")
             .window(ScenarioBuilder::realWindow(1, 110)),
         {}},
        {"gradle goes to the first active IDE",
         gradle,
         {"600 Gradle Daemon (Java) <Android Studio>"}},
        {"gradle while an IDE has a window",
         ScenarioBuilder(gradle)
             .app(650, "com.jetbrains.intellij", "IntelliJ IDEA")
             .process(650, 1, "idea")
             .window(ScenarioBuilder::realWindow(1, 650)),
         {}},
        {"android gradle without android studio",
         ScenarioBuilder()
             .installed("com.jetbrains.intellij")
             .installed("com.jetbrains.pycharm")
             .process(600, 1, "java", {{"args", androidArgs}}),
         {}},
        {"android gradle with android studio",
         ScenarioBuilder()
             .installed("com.google.android.studio")
             .process(600, 1, "java", {{"args", androidArgs}}),
         {"600 Gradle Daemon (Java) <Android Studio>"}},
        {"kotlin daemon",
         ScenarioBuilder().installed("com.jetbrains.intellij").process(610, 1, "java", kotlin),
         {"610 Kotlin Daemon (Java) <IntelliJ IDEA>"}},
        {"jetbrains java processes",
         pycharm,
         {"610 Kotlin Daemon (Java) <PyCharm>", "611 JAVA <PyCharm>"}},
        // While an IDE that shares the daemons shows a window, no row takes them, not even
        // through the JetBrains rule; other java processes still go by that rule.
        {"daemons while a sharing IDE has a window",
         ScenarioBuilder(pycharm)
             .app(660, "com.google.android.studio", "Android Studio")
             .process(660, 1, "studio")
             .window(ScenarioBuilder::realWindow(1, 660)),
         {"611 JAVA <PyCharm>"}},
        // Only the "/.gradle/" marker: claimed as a Gradle daemon, but shown as plain java.
        {"gradle cache marker only",
         ScenarioBuilder()
             .installed("com.google.android.studio")
             .process(620, 1, "java", {{"args", "java -jar /home/u/.gradle/caches/tool.jar"}}),
         {"620 java <Android Studio>"}},
        {"crash handlers only through paths or arguments",
         ScenarioBuilder()
             .installed("com.google.Chrome")
             .installed("com.brave.Browser")
             .process(710, 1, "crashpad_handler", {{"path", "/opt/Google Chrome/crashpad_handler"}})
             .process(711, 720, "crashpad_handler")
             .process(720, 1, "launcher", {{"path", "/opt/BraveSoftware/brave/launcher"}})
             .process(
                 712, 1, "chrome_crashpad_handler",
                 {{"path", "/usr/lib/x/handler"},
                  {"args", "/usr/lib/x/handler --database=/home/u/.config/Google/Chrome/Crash"}})
             .process(
                 713, 1, "crashpad_handler",
                 {{"path", "/usr/lib/other/crashpad_handler"}, {"args", "x --database=/tmp/y"}})
             .process(714, 1, "Crashpad_Handler", {{"path", "/opt/Google Chrome/crashpad_handler"}})
             .process(715, 1, "crashpad_handler"),
         {"710 crashpad_handler <Google Chrome>", "711 crashpad_handler <Brave Browser>",
          "712 chrome_crashpad_handler <Google Chrome>", "714 Crashpad_Handler <Google Chrome>"}},
        {"sub-apps of listed apps by their identifier",
         ScenarioBuilder()
             .app(100, "org.example.viewer", "Viewer")
             .process(100, 1, "viewer")
             .app(110, "org.example.viewer.agent", std::nullopt, "accessory")
             .process(110, 1, "agent")
             // A plain prefix is enough here.
             .app(111, "org.example.viewerplus", std::nullopt, "accessory")
             .process(111, 1, "plus")
             .app(200, "com.google.Chrome", "Google Chrome")
             .process(200, 1, "Google Chrome")
             .app(210, "com.google.Chrome.alerts", "Alerts", "accessory", true)
             .process(210, 1, "alerts")
             .app(300, "org.sample.tool", std::nullopt)
             .process(300, 1, "tool")
             .app(310, "org.sample.tool.x", std::nullopt, "accessory")
             .process(310, 1, "x")
             .app(320, "org.sample.tool.y", "Tool Y", "accessory")
             .process(320, 1, "y")
             // Not a sub-app of anything listed.
             .app(400, "org.other.agent", "Other", "accessory")
             .process(400, 1, "other"),
         {"100 Viewer <Viewer>", "200 Google Chrome <Google Chrome>", "300 Tool <Tool>",
          "110 agent <Viewer>", "111 plus <Viewer>", "210 alerts <Google Chrome>",
          "310 x <Application>", "320 y <Tool Y>"}},
        {"unreadable processes", unreadable, {"100 Viewer <Viewer>"}},
        {"never this program, what it runs under or its threads",
         ownTerminal,
         {"200 Viewer <Viewer>", "201 viewer-worker <Viewer>"}},
        {"only the process that owned the windows when seen",
         seenOwners,
         {"200 Viewer <Viewer>", "201 viewer-worker <Viewer>"}},
        {"the same app twice",
         ScenarioBuilder()
             .app(100, "org.example.viewer", "Viewer")
             .app(100, "org.example.viewer2", "Viewer 2")
             .process(100, 1, "viewer"),
         {"100 Viewer <Viewer>"}},
    };
}

TEST(ResidualScan, EachRuleClaimsWhatItShould) {
    for (const auto& [name, world, listed] : listings())
        EXPECT_EQ(described(ScanWorld(world).scan()), listed) << name;
}

TEST(ResidualScan, ParentLoopsAndDeepChainsEndTheWalk) {
    ScenarioBuilder s;
    s.app(100, "org.example.viewer", "Viewer")
        .process(100, 1, "viewer")
        .process(300, 301, "loop-a")
        .process(301, 300, "loop-b")
        .process(302, 302, "own-parent");
    // A chain below the app: depth 1 … 11; the walk reaches the app from depth 10 at most.
    int parent = 100;
    for (int depth = 1; depth <= 11; ++depth) {
        s.process(400 + depth, parent, "level" + std::to_string(depth));
        parent = 400 + depth;
    }
    const auto found = ScanWorld(s).scan();
    ASSERT_EQ(found.size(), 11u);
    for (const auto& process : found) {
        EXPECT_NE(process.id, 411);
        EXPECT_EQ(process.parentApp, "Viewer");
    }
}

TEST(ResidualScan, SortsByMemoryThenCpuKeepingTheFoundOrderForTies) {
    ScenarioBuilder s;
    s.app(100, "org.example.viewer", "Viewer")
        .process(100, 1, "viewer", {{"rusage", nullptr}})
        .process(101, 100, "a", {}, 200, 10)
        .process(102, 100, "b", {}, 0, 0)
        .process(103, 100, "c", {}, 200, 50)
        .process(
            104, 100, "d",
            {{"rusage", nullptr},
             {"taskInfo", {{"residentSize", 0}, {"userTimeNs", 2'500'000}, {"systemTimeNs", 0}}}});
    const auto found = ScanWorld(s).scan();
    EXPECT_THAT(described(found), ElementsAre("103 c <Viewer>", "101 a <Viewer>", "104 d <Viewer>",
                                              "100 Viewer <Viewer>", "102 b <Viewer>"));
    // The task record fills in with no idle wake-ups; a refused query leaves all absent.
    EXPECT_EQ(found[2].cpuTimeMs, 2u);
    EXPECT_EQ(found[2].idleWakeups, 0u);
    EXPECT_FALSE(found[3].memoryBytes || found[3].cpuTimeMs || found[3].idleWakeups);
    EXPECT_EQ(ResidualProcessCleaner::totalMemory(found), 400u * 1048576);
}

TEST(ResidualScan, ConcurrentScansOfOneCleanerAgree) {
    auto s = chromeFamily();
    s.window(ScenarioBuilder::realWindow(9, 200)); // bash owns a window
    sim::SimPlatform platform(s.build());
    sim::SimKernel kernel(platform.scenario);
    ResidualProcessCleaner cleaner(kernel, platform.windowServer, platform.workspace);
    std::vector<std::vector<std::string>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&] { result = described(cleaner.findResidualProcesses()); });
    for (auto& thread : threads)
        thread.join();
    for (const auto& result : results)
        EXPECT_EQ(result, described(ScanWorld(chromeFamily()).scan()));
}

} // namespace
} // namespace tidemark::testing
