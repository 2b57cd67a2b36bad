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
    write("d/applications/org.gnome.Calculator.desktop",
          "[Desktop Entry]\nType=Application\nName=Calculator\n");
    write("d/applications/term.desktop",
          "[Desktop Entry]\nType=Application\nName=Term\nStartupWMClass=XTerm\n");
    write("d/applications/xlogo.desktop", "[Desktop Entry]\nType=Application\nName=Logo\n");
    const DesktopEntries entries({root / "d"});
    EXPECT_EQ(entries.byWmClass("XTerm", "xterm")->id, "term");
    EXPECT_EQ(entries.byWmClass("XLogo", "xlogo")->id, "xlogo");
    EXPECT_EQ(entries.byWmClass("gnome-calculator", "calculator")->id, "org.gnome.Calculator");
    EXPECT_EQ(entries.byWmClass("Unknown", "unknown"), nullptr);
    EXPECT_EQ(entries.byWmClass("", ""), nullptr);
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
