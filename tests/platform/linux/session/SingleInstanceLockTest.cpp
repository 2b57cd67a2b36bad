#include "platform/linux/session/SingleInstanceLock.h"

#include "platform/linux/session/SessionFiles.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

TEST(SessionFiles, OneNamePerXDisplayWhateverItsSpelling) {
    const struct {
        std::string_view display;
        std::optional<std::string> identity;
    } cases[] = {
        {":0", "x11-0"},
        {":0.0", "x11-0"},
        {"unix:0", "x11-0"},
        {"unix/:0.1", "x11-0"},
        {"localhost:0", "x11-0"},
        {"tcp/localhost:10.0", "x11-10"},
        {"otherhost:0", "x11-otherhost-0"},
        {"/tmp/launch-x/org.xquartz:0", "x11-_tmp_launch-x_org.xquartz-0"},
        {"../../etc:3", "x11-.._.._etc-3"},
        {"", std::nullopt},
        {":", std::nullopt},
        {":x", std::nullopt},
        {":0.x", std::nullopt},
        {"nodisplay", std::nullopt},
        {":12345678901", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(xDisplayIdentity(c.display), c.identity) << "DISPLAY '" << c.display << "'";
}

TEST(SessionFiles, OneNamePerWaylandDisplayThatIsAFileName) {
    const struct {
        std::string waylandDisplay;
        std::optional<std::string> identity;
    } cases[] = {
        {"wayland-1", "wl-wayland-1"},
        {"", "wl-wayland-0"},
        {"/run/user/1000/wayland-1", "wl-_run_user_1000_wayland-1"},
        {"../../x", "wl-.._.._x"},
        {std::string(200, 'a'), "wl-" + std::string(200, 'a')},
        {std::string(201, 'a'), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(waylandDisplayIdentity(c.waylandDisplay), c.identity) << c.waylandDisplay;
}

TEST(SessionFiles, OnlyAPrivateFolderOfThisUserHoldsThem) {
    const struct {
        bool isDirectory;
        unsigned owner;
        unsigned mode;
        bool accepted;
    } cases[] = {
        {true, 1000, 0700, true},   {true, 1000, 0500, true},  {true, 1001, 0700, false},
        {true, 1000, 0755, false},  {true, 1000, 0770, false}, {true, 1000, 01777, false},
        {false, 1000, 0700, false}, {true, 0, 0700, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isPrivateFolder(c.isDirectory, c.owner, c.mode, 1000), c.accepted)
            << "owner " << c.owner << ", mode " << std::oct << c.mode;
}

TEST(SessionFiles, TheFolderIsMadePrivateAndAForeignOneIsRefused) {
    testing::TemporaryDirectory runtime;
    std::string error;
    const auto folder = sessionFolder(runtime.path().string(), ::getuid(), error);
    ASSERT_TRUE(folder) << error;
    EXPECT_EQ(*folder, runtime.path() / "tidemark");
    struct stat made {};
    ASSERT_EQ(::stat(folder->c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u);
    EXPECT_EQ(sessionFolder(runtime.path().string(), ::getuid(), error), folder)
        << "found again: " << error;

    // One that others may enter, as an attacker would leave it, or one of another user.
    ASSERT_EQ(::chmod(folder->c_str(), 0777), 0);
    EXPECT_FALSE(sessionFolder(runtime.path().string(), ::getuid(), error));
    EXPECT_EQ(error,
              folder->string() +
                  " is not a folder of this user's alone; remove it, or set XDG_RUNTIME_DIR");
    EXPECT_FALSE(sessionFolder(runtime.path().string(), ::getuid() + 1, error));

    // A link to a private folder is not the folder.
    const auto other = runtime.path() / "elsewhere";
    ASSERT_TRUE(std::filesystem::create_directory(other));
    ASSERT_EQ(::chmod(other.c_str(), 0700), 0);
    testing::TemporaryDirectory second;
    std::filesystem::create_directory_symlink(other, second.path() / "tidemark");
    EXPECT_FALSE(sessionFolder(second.path().string(), ::getuid(), error));
}

TEST(SingleInstanceLock, HeldUntilItsHolderGoes) {
    testing::TemporaryDirectory folder;
    const auto path = folder.path() / "x11-0.lock";
    std::string error;
    {
        const auto first = SingleInstanceLock::acquire(path, error);
        ASSERT_TRUE(first) << error;
        // flock(2) locks belong to the open file, so a second opening conflicts even here.
        EXPECT_FALSE(SingleInstanceLock::acquire(path, error));
        EXPECT_EQ(error, "Tidemark is already running on this display");
        std::string otherError;
        EXPECT_TRUE(SingleInstanceLock::acquire(folder.path() / "x11-1.lock", otherError))
            << "another display has a lock of its own: " << otherError;
    }
    error.clear();
    EXPECT_TRUE(SingleInstanceLock::acquire(path, error)) << error;
}

TEST(SingleInstanceLock, AFileThatCannotBeOpenedIsNamedInTheError) {
    testing::TemporaryDirectory folder;
    // A file where the folder should be: refused even for the superuser.
    testing::writeFile(folder.path() / "run", "not a folder");
    const auto path = folder.path() / "run" / "tidemark:0.lock";
    std::string error;
    EXPECT_FALSE(SingleInstanceLock::acquire(path, error));
    EXPECT_EQ(error, "cannot open " + path.string() + ": Not a directory");
}

} // namespace
} // namespace tidemark::linux_platform
