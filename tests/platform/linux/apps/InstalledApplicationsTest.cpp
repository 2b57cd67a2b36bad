#include "platform/linux/apps/InstalledApplications.h"

#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tidemark::linux_proc {
namespace {

namespace fs = std::filesystem;

TEST(InstalledApplications, FindsTheEntryTheDesktopTakesAndFlatpaks) {
    const testing::TemporaryDirectory folder;
    const auto& root = folder.path();
    const auto entry = [&](const fs::path& relative, const std::string& keys) {
        testing::writeFile(root / relative, "[Desktop Entry]\nType=Application\n" + keys);
    };
    entry("home/applications/org.example.Editor.desktop", "Name=Editor\n");
    // The user's hidden copy shadows the system entry: removed for this user.
    entry("home/applications/org.example.Removed.desktop", "Hidden=true\n");
    entry("system/applications/org.example.Removed.desktop", "Name=R\n");
    // "Hidden" in another group, or a link rather than an application.
    entry("system/applications/org.example.Viewer.desktop",
          "Name=Viewer\n[Desktop Action gone]\nHidden=true\n");
    testing::writeFile(root / "system/applications/org.example.Link.desktop",
                       "[Desktop Entry]\nType=Link\nURL=https://example.org\n");
    entry("system/applications/kde4/okular.desktop", "Name=Okular\n");
    fs::create_directories(root / "flatpak/app/org.example.Flat/current");
    fs::create_directories(root / "flatpak/app/org.example.Partial");
    entry("escape.desktop", "");

    const InstalledApplications installed({root / "home", root / "system"}, {root / "flatpak"});
    for (const char* id :
         {"org.example.Editor", "org.example.Viewer", "kde4-okular", "org.example.Flat"})
        EXPECT_TRUE(installed.isInstalled(id)) << id;
    for (const char* id : {"org.example.Removed", "org.example.Link", "org.example.Partial",
                           "org.example.editor", "com.google.Chrome", "../../escape", "..", ""})
        EXPECT_FALSE(installed.isInstalled(id)) << id;

    // An entry installed after the check was made counts at once.
    entry("system/applications/com.google.Chrome.desktop", "Name=Chrome\n");
    EXPECT_TRUE(installed.isInstalled("com.google.Chrome"));
}

} // namespace
} // namespace tidemark::linux_proc
