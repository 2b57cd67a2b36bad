#include "platform/linux/settings/AutostartEntry.h"

#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

namespace fs = std::filesystem;

TEST(AutostartEntry, ExecValueQuotesWhatTheSessionWouldSplitOrExpand) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"/usr/bin/tidemark", "/usr/bin/tidemark"},
        {"/opt/My Apps/tidemark", R"("/opt/My Apps/tidemark")"},
        {"/home/a$b/tidemark", R"("/home/a\\$b/tidemark")"},
        {"/x/100%/tidemark", R"("/x/100%%/tidemark")"},
        {R"(/x/"q"/t)", R"("/x/\\"q\\"/t")"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(desktopExecValue(path), expected) << path;
}

// A session whose PATH holds only /usr/bin/present.
AutostartSession sessionOf(std::vector<std::string> desktops) {
    AutostartSession session;
    session.desktops = std::move(desktops);
    session.findProgram = [](std::string_view program) -> std::optional<fs::path> {
        if (program == "present" || program == "/usr/bin/present")
            return fs::path("/usr/bin/present");
        return std::nullopt;
    };
    return session;
}

TEST(AutostartEntry, TheSessionStartsAnEntryUnlessOneOfItsKeysExcludesIt) {
    struct Case {
        const char* name;
        DesktopEntryKeys extra;
        std::vector<std::string> desktops;
        bool runs;
    };
    const std::vector<Case> cases{
        {"plain", {}, {}, true},
        {"a link", {{"Type", "Link"}}, {"GNOME"}, false},
        {"hidden", {{"Hidden", "true"}}, {"GNOME"}, false},
        {"not hidden", {{"Hidden", "false"}}, {"GNOME"}, true},
        {"disabled in GNOME's key", {{"X-GNOME-Autostart-enabled", "false"}}, {"GNOME"}, false},
        {"disabled as 0", {{"X-GNOME-Autostart-enabled", "0"}}, {"XFCE"}, false},
        {"enabled in GNOME's key", {{"X-GNOME-Autostart-enabled", "true"}}, {"KDE"}, true},
        {"only elsewhere", {{"OnlyShowIn", "KDE;XFCE;"}}, {"GNOME"}, false},
        {"only here, by a later name", {{"OnlyShowIn", "KDE;GNOME;"}}, {"ubuntu", "GNOME"}, true},
        {"only somewhere, no desktop named", {{"OnlyShowIn", "i3;"}}, {}, false},
        {"only in an empty list", {{"OnlyShowIn", ""}}, {"GNOME"}, false},
        {"names match exactly", {{"OnlyShowIn", "gnome;"}}, {"GNOME"}, false},
        {"not here, by a later name", {{"NotShowIn", "GNOME;"}}, {"ubuntu", "GNOME"}, false},
        {"not elsewhere", {{"NotShowIn", "KDE;"}}, {"GNOME"}, true},
        {"not somewhere, no desktop named", {{"NotShowIn", "KDE"}}, {}, true},
        {"tried program on the path", {{"TryExec", "present"}}, {}, true},
        {"tried program by its path", {{"TryExec", "/usr/bin/present"}}, {}, true},
        {"tried program missing", {{"TryExec", "absent"}}, {}, false},
        {"tried path missing", {{"TryExec", "/opt/absent"}}, {"GNOME"}, false},
    };
    for (const auto& c : cases) {
        DesktopEntryKeys keys{{"Type", "Application"}, {"Exec", "tidemark"}};
        for (const auto& [key, value] : c.extra)
            keys.insert_or_assign(key, value);
        EXPECT_EQ(autostartEntryRuns(keys, sessionOf(c.desktops)), c.runs) << c.name;
    }
}

TEST(AutostartEntry, KeysComeFromTheMainGroupTheLastValueWinning) {
    const std::vector<std::pair<std::string, bool>> cases{
        {autostartEntryText("/usr/bin/tidemark"), true},
        {"[Desktop Entry]\nType=Application\nExec=x\n[Desktop Action hide]\nHidden=true\n", true},
        {"# comment\n[Desktop Entry]\nType=Application\nHidden=false\n", true},
        {"[Desktop Entry]\nType=Application\nHidden=false\nHidden = true\n", false},
        {"[Desktop Entry]\nType=Application\nX-GNOME-Autostart-enabled=false\n", false},
        {"", false},
        {"garbage without a group\nType=Application\n", false},
    };
    for (const auto& [text, runs] : cases)
        EXPECT_EQ(autostartEntryRuns(desktopEntryKeys(text), sessionOf({"GNOME"})), runs) << text;
}

TEST(AutostartEntry, ProgramsAreFoundAsRegularFilesTheUserMayRun) {
    testing::TemporaryDirectory folder;
    const auto first = folder.path() / "first";
    const auto second = folder.path() / "second";
    const auto executable = fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec;
    testing::writeFile(second / "tool", "#!/bin/sh\n");
    fs::permissions(second / "tool", executable);
    testing::writeFile(first / "data", "text");
    fs::permissions(first / "data", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directories(first / "folder");
    fs::permissions(first / "folder", fs::perms::all);
    const auto path = first.string() + "::" + second.string();
    const std::vector<std::pair<std::string, std::optional<fs::path>>> cases{
        {"tool", second / "tool"}, {(second / "tool").string(), second / "tool"},
        {"data", std::nullopt},    {(first / "data").string(), std::nullopt},
        {"folder", std::nullopt},  {"absent", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [program, found] : cases)
        EXPECT_EQ(findExecutable(program, path), found) << program;
}

TEST(AutostartEntry, OnlyWindowManagersWithoutAutostartGetAHintNamingTheirStartupFile) {
    struct Case {
        std::vector<std::string> desktops;
        std::optional<std::string> windowManager;
        std::optional<std::string> mentions;
    };
    const std::vector<Case> cases{
        {{}, "i3", "“exec tidemark” to the i3 config"},
        {{"i3"}, std::nullopt, "“exec tidemark” to the i3 config"},
        {{"openbox"}, "Openbox", "“tidemark &” to ~/.config/openbox/autostart"},
        {{}, "Openbox", "“tidemark &” to ~/.config/openbox/autostart"},
        {{}, "fluxbox", "fluxbox runs no autostart"},
        {{}, std::nullopt, "This window manager runs no autostart"},
        {{"GNOME"}, "GNOME Shell", std::nullopt},
        {{"i3", "GNOME"}, "i3", std::nullopt},
        {{"LXDE"}, "Openbox", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto hint = windowManagerStartHint(c.desktops, c.windowManager, "tidemark");
        SCOPED_TRACE(c.windowManager.value_or("no window manager"));
        ASSERT_EQ(hint.has_value(), c.mentions.has_value()) << hint.value_or("");
        if (hint) {
            EXPECT_NE(hint->find(*c.mentions), std::string::npos) << *hint;
        }
    }
}

TEST(AutostartEntry, TheHintNamesTheProgramAsPathFindsItAndAsksTheWindowManagerOnlyWhenNeeded) {
    testing::TemporaryDirectory folder;
    const auto bin = folder.path() / "bin";
    testing::writeFile(bin / "tidemark", "#!/bin/sh\n");
    fs::permissions(bin / "tidemark", fs::perms::owner_all);
    int asked = 0;
    AutostartSession session;
    session.findProgram = [&bin](std::string_view program) {
        return findExecutable(program, bin.string());
    };
    session.windowManager = [&asked] {
        ++asked;
        return std::optional<std::string>("i3");
    };
    const auto entry = folder.path() / "tidemark.desktop";
    const AutostartLoginItem onPath(entry, bin / "tidemark", session);
    EXPECT_NE(onPath.manualStartHint().value_or("").find("“exec tidemark”"), std::string::npos);
    const AutostartLoginItem elsewhere(entry, "/opt/Tide Mark/tidemark", session);
    EXPECT_NE(elsewhere.manualStartHint().value_or("").find("“exec '/opt/Tide Mark/tidemark'”"),
              std::string::npos)
        << elsewhere.manualStartHint().value_or("");
    EXPECT_EQ(asked, 2);

    session.desktops = {"GNOME"};
    const AutostartLoginItem underGnome(entry, bin / "tidemark", session);
    EXPECT_EQ(underGnome.manualStartHint(), std::nullopt);
    EXPECT_EQ(asked, 2);
}

TEST(AutostartEntry, RegisteringWritesAnEntryForTheExecutableAndUnregisteringRemovesIt) {
    testing::TemporaryDirectory folder;
    const auto entry = folder.path() / "config" / "autostart" / "tidemark.desktop";
    // No desktop named, as under plain i3: the entry is still written and read back.
    AutostartLoginItem item(entry, "/opt/Tide Mark/tidemark", sessionOf({}));
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);
    EXPECT_EQ(item.unregisterItem(), std::nullopt) << "nothing to remove is no failure";

    ASSERT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.status(), LoginItemService::Status::Enabled);
    const auto text = testing::readFile(entry);
    EXPECT_NE(text.find("\nExec=\"/opt/Tide Mark/tidemark\"\n"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(entry.string() + ".tmp"));

    // An entry the user switched off in a desktop's own settings reads as off.
    testing::writeFile(entry, text + "X-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);

    ASSERT_EQ(item.unregisterItem(), std::nullopt);
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);
}

TEST(AutostartEntry, AFolderThatCannotBeMadeIsReportedAndTheStateStaysOff) {
    testing::TemporaryDirectory folder;
    // A file where the autostart folder should be: refused even for the superuser.
    testing::writeFile(folder.path() / "autostart", "not a folder");
    AutostartLoginItem item(folder.path() / "autostart" / "tidemark.desktop", "/usr/bin/tidemark",
                            sessionOf({}));
    const auto failure = item.registerItem();
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("autostart"), std::string::npos) << *failure;
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);
}

} // namespace
} // namespace tidemark::linux_platform
