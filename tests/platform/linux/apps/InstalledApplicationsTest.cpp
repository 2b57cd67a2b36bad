#include "platform/linux/apps/InstalledApplications.h"

#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tidemark::linux_proc {
namespace {

namespace fs = std::filesystem;

TEST(InstalledApplications, FindsDesktopEntriesAndFlatpaks) {
    const testing::TemporaryDirectory folder;
    const auto& root = folder.path();
    const auto entry = [&](const fs::path& relative, const std::string& content) {
        testing::writeFile(root / relative, content);
    };
    entry("home/applications/org.example.Editor.desktop", "[Desktop Entry]\nName=Editor\n");
    // The user's hidden copy shadows the system entry: removed for this user.
    entry("home/applications/org.example.Removed.desktop", "[Desktop Entry]\nHidden=true\n");
    entry("system/applications/org.example.Removed.desktop", "[Desktop Entry]\nName=R\n");
    entry("system/applications/kde4/okular.desktop", "[Desktop Entry]\nName=Okular\n");
    entry("system/applications/org.example.Viewer.desktop", "[Desktop Entry]\nName=Viewer\n");
    fs::create_directories(root / "flatpak/app/org.example.Flat/current");
    fs::create_directories(root / "flatpak/app/org.example.Partial");
    entry("escape.desktop", "[Desktop Entry]\n");

    const InstalledApplications installed({root / "home", root / "system"}, {root / "flatpak"});
    EXPECT_TRUE(installed.isInstalled("org.example.Editor"));
    EXPECT_TRUE(installed.isInstalled("org.example.Viewer"));
    EXPECT_TRUE(installed.isInstalled("kde4-okular"));
    EXPECT_TRUE(installed.isInstalled("org.example.Flat"));
    EXPECT_FALSE(installed.isInstalled("org.example.Removed"));
    EXPECT_FALSE(installed.isInstalled("org.example.Partial"));
    EXPECT_FALSE(installed.isInstalled("org.example.editor")); // ids are case-sensitive
    EXPECT_FALSE(installed.isInstalled("com.google.Chrome"));
    EXPECT_FALSE(installed.isInstalled("../../escape"));
    EXPECT_FALSE(installed.isInstalled(".."));
    EXPECT_FALSE(installed.isInstalled(""));
}

TEST(InstalledApplications, ReadsTheXdgEnvironment) {
    ::setenv("XDG_DATA_HOME", "/tmp/tidemark-data-home", 1);
    ::setenv("XDG_DATA_DIRS", "/opt/share:relative/ignored:/usr/share", 1);
    const auto installed = InstalledApplications::fromEnvironment();
    EXPECT_EQ(installed.dataDirectories(),
              (std::vector<fs::path>{"/tmp/tidemark-data-home", "/opt/share", "/usr/share"}));
    ::unsetenv("XDG_DATA_DIRS");
    const auto defaults = InstalledApplications::fromEnvironment();
    EXPECT_EQ(defaults.dataDirectories(),
              (std::vector<fs::path>{"/tmp/tidemark-data-home", "/usr/local/share", "/usr/share"}));
    ::unsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace tidemark::linux_proc
