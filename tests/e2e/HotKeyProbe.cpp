// Hot keys against the live session the calling script started (E2E_HOTKEYS=1): real key
// grabs, keys typed by xdotool, i3 holding a combination of its own.
#include "platform/linux/PollMainQueue.h"
#include "platform/linux/keys/LinuxShortcuts.h"
#include "shortcuts/ShortcutStorage.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

using namespace KeyBindings;

const Shortcut kControlOptionR{key::r.rawValue, modifier::kControl | modifier::kOption};
const Shortcut kOptionReturn{key::returnKey.rawValue, modifier::kOption};
const Shortcut kSuperShiftF5{key::f5.rawValue, modifier::kCommand | modifier::kShift};
// Held for the whole test under a name of its own: typed after a combination that must do
// nothing, its release comes after anything that one set off.
const Shortcut kFence{key::f9.rawValue, modifier::kControl | modifier::kShift};

struct HotKeyFixture : ::testing::Test {
    void SetUp() override {
        if (!std::getenv("E2E_HOTKEYS"))
            GTEST_SKIP() << "E2E_HOTKEYS not given";
        shortcuts =
            LinuxShortcuts::open(queue, settings, defaultCenter,
                                 [this](const std::string& line) { lines.push_back(line); });
        ASSERT_TRUE(shortcuts);
        refresh = shortcuts->center->name("refresh");
        shortcuts->center->addKeyDownAction(refresh, [this] { ++presses; });
        shortcuts->center->addKeyUpAction(refresh, [this] { ++releases; });
        const auto fence = shortcuts->center->name("fence");
        shortcuts->center->addKeyUpAction(fence, [this] { ++fences; });
        shortcuts->center->setShortcut(kFence, fence);
    }
    void xdotool(const std::string& args) {
        ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args;
    }
    bool releasesReach(int count) {
        return queue.runUntil([&] { return releases >= count; }, 5);
    }
    // Types the fence and serves the queue until its release: every key typed before is
    // handled by then.
    bool fenced() {
        const int before = fences;
        xdotool("key ctrl+shift+F9");
        return queue.runUntil([&] { return fences > before; }, 5);
    }

    PollMainQueue queue;
    SettingsStore settings;
    NotificationCenter defaultCenter;
    std::vector<std::string> lines;
    std::unique_ptr<LinuxShortcuts> shortcuts;
    Name refresh;
    int presses = 0;
    int releases = 0;
    int fences = 0;
};

TEST_F(HotKeyFixture, GrabsFollowTheStoredShortcutAndReportRefusals) {
    auto& center = *shortcuts->center;
    center.setShortcut(kControlOptionR, refresh);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(center.description(kControlOptionR), "Ctrl+Alt+R"); // the layout's character

    xdotool("key ctrl+alt+r");
    ASSERT_TRUE(releasesReach(1));
    EXPECT_EQ(presses, 1);
    // Caps Lock on: the grab's lock variant still catches the combination.
    xdotool("key Caps_Lock key ctrl+alt+r key Caps_Lock");
    ASSERT_TRUE(releasesReach(2));
    // Held down for a while: one press and one release however long the key repeats.
    xdotool("keydown ctrl+alt+r sleep 0.8 keyup ctrl+alt+r");
    ASSERT_TRUE(releasesReach(3));
    EXPECT_EQ(presses, 3);
    // Another combination does nothing.
    xdotool("key ctrl+r");
    ASSERT_TRUE(fenced());
    EXPECT_EQ(releases, 3);

    // i3 holds alt+Return: one refusal line, and the combination before is let go.
    center.setShortcut(kOptionReturn, refresh);
    EXPECT_EQ(lines, (std::vector<std::string>{"Error registering hotkey Alt+Enter: -9878"}));
    xdotool("key ctrl+alt+r");
    ASSERT_TRUE(fenced());
    EXPECT_EQ(releases, 3);

    // Another writer moves the shortcut: the new combination is grabbed at once, and the one
    // before is let go.
    center.setShortcut(kControlOptionR, refresh);
    settings.set(settingsKey(refresh), Value(encodeShortcut(kSuperShiftF5)));
    xdotool("key ctrl+alt+r key super+shift+F5");
    ASSERT_TRUE(releasesReach(4));
    ASSERT_TRUE(fenced());
    EXPECT_EQ(releases, 4);
    center.setShortcut(std::nullopt, refresh);
    xdotool("key super+shift+F5");
    ASSERT_TRUE(fenced());
    EXPECT_EQ(releases, 4);
    EXPECT_EQ(presses, 4);
}

} // namespace
} // namespace tidemark::linux_platform
