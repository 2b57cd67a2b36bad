#include "platform/linux/apps/DesktopEntries.h"

#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

namespace fs = std::filesystem;

struct EntriesFixture : ::testing::Test {
    const testing::TemporaryDirectory folder;
    const fs::path& root = folder.path();
    void write(const fs::path& relative, const std::string& text) {
        testing::writeFile(root / relative, text);
    }
};

TEST(ParseDesktopEntry, ReadsTheMainGroupOnly) {
    const auto entry = parseDesktopEntry("# comment\n"
                                         "[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name = Terminal \n"
                                         "Name[de]=Konsole\n"
                                         "Icon=utilities-terminal\n"
                                         "StartupWMClass=XTerm\n"
                                         "[Desktop Action new]\n"
                                         "Name=New Window\n"
                                         "NoDisplay=true\n",
                                         "xterm", "/x/xterm.desktop");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->id, "xterm");
    EXPECT_EQ(entry->name, "Terminal");
    EXPECT_EQ(entry->icon, "utilities-terminal");
    EXPECT_EQ(entry->startupWmClass, "XTerm");
    EXPECT_FALSE(entry->noDisplay);
}

TEST(ParseDesktopEntry, RefusesLinksHiddenEntriesAndRepairsText) {
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nType=Link\nName=x\n", "a", {}));
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nType=Application\nHidden=true\n", "a", {}));
    EXPECT_FALSE(parseDesktopEntry("Type=Application\n", "a", {}));
    const auto entry = parseDesktopEntry("[Desktop Entry]\r\nType=Application\r\nName=\xff" +
                                             std::string(5000, 'n') + "\r\n",
                                         "a", {});
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name.substr(0, 3), "\xef\xbf\xbd");
    EXPECT_LE(entry->name.size(), 512u);
    EXPECT_EQ(
        parseDesktopEntry("[Desktop Entry]\nType=Application\nName=\u202Eevil\n", "a", {})->name,
        "evil");
    // No name: the id stands in.
    EXPECT_EQ(parseDesktopEntry("[Desktop Entry]\nType=Application\n", "org.x.Y", {})->name,
              "org.x.Y");
}

TEST_F(EntriesFixture, EarlierDirectoriesWinAndHiddenEntriesShadow) {
    write("home/applications/editor.desktop", "[Desktop Entry]\nType=Application\nName=Mine\n");
    write("home/applications/old.desktop", "[Desktop Entry]\nType=Application\nHidden=true\n");
    write("usr/applications/editor.desktop", "[Desktop Entry]\nType=Application\nName=System\n");
    write("usr/applications/old.desktop", "[Desktop Entry]\nType=Application\nName=Old\n");
    write("usr/applications/kde/konsole.desktop",
          "[Desktop Entry]\nType=Application\nName=Konsole\n");
    write("usr/applications/notes.txt", "[Desktop Entry]\nType=Application\nName=Nope\n");
    const DesktopEntries entries({root / "home", root / "usr", root / "missing"});
    EXPECT_EQ(entries.byId("editor")->name, "Mine");
    EXPECT_EQ(entries.byId("old"), nullptr);
    EXPECT_EQ(entries.byId("kde-konsole")->name, "Konsole");
    EXPECT_EQ(entries.byId("notes"), nullptr);
    EXPECT_EQ(entries.size(), 2u);
}

TEST_F(EntriesFixture, WmClassFindsStartupClassThenIdThenLastDottedPart) {
    const auto entry = [&](const std::string& id, const std::string& keys = "") {
        write("d/applications/" + id + ".desktop",
              "[Desktop Entry]\nType=Application\nName=" + id + "\n" + keys);
    };
    entry("org.gnome.Calculator");
    entry("term", "StartupWMClass=XTerm\n");
    entry("xterm");
    entry("xlogo");
    entry("Code");
    entry("code");
    // Sorts before "code" and "term", whose last dotted parts it shares.
    entry("com.visualstudio.code");
    entry("org.a.Term");
    const DesktopEntries entries({root / "d"});
    struct Case {
        std::string className, instanceName;
        const char* id; // null: none
    };
    const std::vector<Case> cases{
        {"XTerm", "xterm", "term"}, // StartupWMClass before the id
        {"XLogo", "xlogo", "xlogo"},
        {"code", "code", "code"}, // the id as written, before another case and a dotted part
        {"Code", "code", "Code"},
        {"TERM", "other", "term"}, // the id ignoring case, before a last dotted part
        {"gnome-calculator", "calculator", "org.gnome.Calculator"},
        {"Unknown", "unknown", nullptr},
        {"", "", nullptr},
    };
    for (const auto& c : cases) {
        const auto* found = entries.byWmClass(c.className, c.instanceName);
        EXPECT_EQ(found ? found->id : "none", c.id ? c.id : "none") << c.className;
    }
}

TEST_F(EntriesFixture, OneEntryLookedUpByIdIsTheOneTheScanTakes) {
    write("home/applications/editor.desktop", "[Desktop Entry]\nType=Application\nName=Mine\n");
    write("home/applications/old.desktop", "[Desktop Entry]\nType=Application\nHidden=true\n");
    write("usr/applications/editor.desktop", "[Desktop Entry]\nType=Application\nName=System\n");
    write("usr/applications/old.desktop", "[Desktop Entry]\nType=Application\nName=Old\n");
    write("usr/applications/kde/konsole.desktop",
          "[Desktop Entry]\nType=Application\nName=Konsole\n");
    const std::vector<fs::path> dirs{root / "home", root / "usr"};
    const DesktopEntries scanned(dirs);
    for (const char* id : {"editor", "old", "kde-konsole", "konsole", "missing"}) {
        const auto* fromScan = scanned.byId(id);
        const auto found = findDesktopEntry(dirs, id);
        ASSERT_EQ(bool(found), fromScan != nullptr) << id;
        if (found) {
            EXPECT_EQ(found->name, fromScan->name) << id;
        }
    }
}

TEST(ApplicationDataDirs, HomeThenTheSystemsAbsoluteFolders) {
    ::setenv("XDG_DATA_HOME", "/tmp/tidemark-data-home", 1);
    ::setenv("XDG_DATA_DIRS", "/opt/share:relative/ignored:/usr/share", 1);
    EXPECT_EQ(applicationDataDirs(),
              (std::vector<fs::path>{"/tmp/tidemark-data-home", "/opt/share", "/usr/share"}));
    ::unsetenv("XDG_DATA_DIRS");
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("XDG_DATA_HOME", "relative", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(applicationDataDirs(), (std::vector<fs::path>{"/home/someone/.local/share",
                                                            "/usr/local/share", "/usr/share"}));
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(EntriesFixture, ReadsEachDirectoryOnceWhateverLinksLeadBackToIt) {
    write("d/applications/editor.desktop", "[Desktop Entry]\nType=Application\nName=Editor\n");
    write("d/applications/kde/konsole.desktop",
          "[Desktop Entry]\nType=Application\nName=Konsole\n");
    for (const char* link : {"l1", "l2", "l3"})
        fs::create_directory_symlink(".", root / "d/applications" / link);
    fs::create_directory_symlink("..", root / "d/applications/kde/up");
    // The same folder named twice in the data directories.
    const DesktopEntries entries({root / "d", root / "d"});
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries.byId("editor"));
    EXPECT_TRUE(entries.byId("kde-konsole"));
}

} // namespace
} // namespace tidemark::linux_platform
