#include "platform/linux/session/SingleInstanceLock.h"

#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tidemark::linux_platform {
namespace {

TEST(SingleInstanceLock, PathIsPerUserAndDisplay) {
    const struct {
        std::string_view runtimeDir;
        std::string_view display;
        unsigned uid;
        std::string_view path;
    } cases[] = {
        {"/run/user/1000", ":0", 1000, "/run/user/1000/tidemark:0.lock"},
        {"/run/user/1000", ":1.0", 1000, "/run/user/1000/tidemark:1.0.lock"},
        {"", ":0", 1000, "/tmp/tidemark-1000/tidemark:0.lock"},
        {"/run/user/7", "/tmp/launch-x/org.xquartz:0", 7,
         "/run/user/7/tidemark_tmp_launch-x_org.xquartz:0.lock"},
        {"", "host/unix:2", 42, "/tmp/tidemark-42/tidemarkhost_unix:2.lock"},
        {"/run/user/1000", "", 1000, "/run/user/1000/tidemark.lock"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(singleInstanceLockPath(c.runtimeDir, c.display, c.uid), c.path)
            << "runtime '" << c.runtimeDir << "', display '" << c.display << "'";
}

TEST(SingleInstanceLock, HeldUntilItsHolderGoes) {
    testing::TemporaryDirectory folder;
    const auto path = folder.path() / "run" / "tidemark:0.lock";
    std::string error;
    {
        const auto first = SingleInstanceLock::acquire(path, error);
        ASSERT_TRUE(first) << error;
        struct stat made {};
        ASSERT_EQ(::stat(path.parent_path().c_str(), &made), 0);
        EXPECT_EQ(made.st_mode & 0777, 0700u) << "the missing folder is the user's alone";

        // flock(2) locks belong to the open file, so a second opening conflicts even here.
        EXPECT_FALSE(SingleInstanceLock::acquire(path, error));
        EXPECT_EQ(error, "Tidemark is already running on this display");
        std::string otherError;
        EXPECT_TRUE(
            SingleInstanceLock::acquire(folder.path() / "run" / "tidemark:1.lock", otherError))
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
