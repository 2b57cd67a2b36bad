#include "shortcuts/ShortcutStorage.h"
#include "support/SimHarness.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

const KeyBindings::Shortcut kControlOptionR{
    KeyBindings::key::r.rawValue, KeyBindings::modifier::kControl | KeyBindings::modifier::kOption};

struct RefreshShortcutWorld {
    RefreshShortcutWorld() {
        harness.delegate->setShortcuts(shortcuts);
        harness.observer().setRefreshListener([this](bool) { ++refreshes; });
    }
    void release() {
        harness.platform.hotKeys.press(15, 6144, true);
        harness.platform.hotKeys.press(15, 6144, false);
        harness.platform.mainQueue.runUntil(harness.platform.mainQueue.now() + 1);
    }

    // Plain rectangles: no half-second window check refreshing on its own.
    testing::SimHarness harness{R"({"settings": {"displayStyle": 0}})"};
    std::shared_ptr<KeyBindings::ShortcutCenter> shortcuts = KeyBindings::ShortcutCenter::create(
        {harness.platform.settings, harness.platform.defaultCenter, harness.platform.hotKeys,
         harness.platform.keyboardLayout, KeyBindings::DescriptionStyle::Symbols});
    int refreshes = 0;
};

TEST(RefreshShortcut, LaunchBindsTheReleaseOfAStoredOrLaterShortcutToARefresh) {
    RefreshShortcutWorld world;
    world.harness.launch();
    // No default: nothing stored, nothing registered, no keys refresh.
    EXPECT_TRUE(world.harness.platform.hotKeys.registered().empty());
    EXPECT_FALSE(world.harness.platform.settings.storedValues().contains("KeyBindings_refresh"));
    const int afterLaunch = world.refreshes;
    world.release();
    EXPECT_EQ(world.refreshes, afterLaunch);

    world.shortcuts->setShortcut(kControlOptionR, world.shortcuts->name("refresh"));
    world.release();
    EXPECT_EQ(world.refreshes, afterLaunch + 1);

    // With the app delegate gone, the action does nothing.
    world.harness.observer().setRefreshListener({});
    world.harness.delegate.reset();
    world.release();
}

TEST(RefreshShortcut, AShortcutStoredBeforeLaunchIsRegisteredByTheLaunch) {
    RefreshShortcutWorld world;
    world.harness.platform.settings.set("KeyBindings_refresh",
                                        Value(KeyBindings::encodeShortcut(kControlOptionR)));
    EXPECT_TRUE(world.harness.platform.hotKeys.registered().empty());
    world.harness.launch();
    ASSERT_EQ(world.harness.platform.hotKeys.registered().size(), 1u);
    const int afterLaunch = world.refreshes;
    world.release();
    EXPECT_EQ(world.refreshes, afterLaunch + 1);
}

} // namespace
} // namespace tidemark
