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

TEST(AutostartEntry, ActiveUnlessHiddenInItsMainGroup) {
    const std::vector<std::pair<std::string, bool>> cases{
        {autostartEntryText("/usr/bin/tidemark"), true},
        {"[Desktop Entry]\nType=Application\nExec=x\nHidden=true\n", false},
        {"[Desktop Entry]\nType=Application\nExec=x\n[Desktop Action hide]\nHidden=true\n", true},
        {"# comment\n[Desktop Entry]\nType=Application\nHidden=false\n", true},
        {"", false},
        {"garbage without a group\nHidden=false\n", false},
    };
    for (const auto& [text, active] : cases)
        EXPECT_EQ(autostartEntryIsActive(text), active) << text;
}

TEST(AutostartEntry, RegisteringWritesAnEntryForTheExecutableAndUnregisteringRemovesIt) {
    testing::TemporaryDirectory folder;
    const auto entry = folder.path() / "config" / "autostart" / "tidemark.desktop";
    AutostartLoginItem item(entry, "/opt/Tide Mark/tidemark");
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);
    EXPECT_EQ(item.unregisterItem(), std::nullopt) << "nothing to remove is no failure";

    ASSERT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.status(), LoginItemService::Status::Enabled);
    const auto text = testing::readFile(entry);
    EXPECT_NE(text.find("\nExec=\"/opt/Tide Mark/tidemark\"\n"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(entry.string() + ".tmp"));

    ASSERT_EQ(item.unregisterItem(), std::nullopt);
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);
}

TEST(AutostartEntry, AFolderThatCannotBeMadeIsReportedAndTheStateStaysOff) {
    testing::TemporaryDirectory folder;
    // A file where the autostart folder should be: refused even for the superuser.
    testing::writeFile(folder.path() / "autostart", "not a folder");
    AutostartLoginItem item(folder.path() / "autostart" / "tidemark.desktop", "/usr/bin/tidemark");
    const auto failure = item.registerItem();
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("autostart"), std::string::npos) << *failure;
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);
}

} // namespace
} // namespace tidemark::linux_platform
