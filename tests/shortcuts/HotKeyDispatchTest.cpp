#include "shortcuts/ShortcutStorage.h"
#include "shortcuts/ShortcutWorld.h"

#include <gtest/gtest.h>

namespace tidemark::KeyBindings {
namespace {

using testing::ShortcutWorld;

const Shortcut kControlOptionR{key::r.rawValue, modifier::kControl | modifier::kOption};
const Shortcut kCommandF5{key::f5.rawValue, modifier::kCommand};

// The "refresh" name, whose key-up action counts its runs.
struct RefreshWorld : ShortcutWorld {
    RefreshWorld() {
        shortcuts->addKeyUpAction(refresh, [this] { ++runs; });
    }
    const Name refresh = shortcuts->name("refresh");
    int runs = 0;
};

TEST(HotKeyDispatch, AStoredLaterShortcutRegistersAndRunsKeyUpActionsOnRelease) {
    ShortcutWorld world;
    const auto refresh = world.shortcuts->name("refresh");
    std::vector<std::string> ran;
    world.shortcuts->addKeyUpAction(refresh, [&] { ran.push_back("first"); });
    world.shortcuts->addKeyUpAction(refresh, [&] { ran.push_back("second"); });
    EXPECT_EQ(world.service.registerCalls(), 0); // nothing stored, nothing registered
    world.service.press(15, 6144, true);
    world.service.press(15, 6144, false);
    EXPECT_TRUE(ran.empty());

    world.shortcuts->setShortcut(kControlOptionR, refresh);
    ASSERT_EQ(world.service.registered().size(), 1u);
    const auto& registered = world.service.registered().begin()->second;
    EXPECT_EQ(registered.id, (HotKeyID{fourCharCode("QLKS"), 1}));
    EXPECT_EQ(registered.keyCode, 15u);
    EXPECT_EQ(registered.modifiers, 6144u);

    world.service.press(15, 6144, true);
    EXPECT_TRUE(ran.empty()); // pressing does nothing
    world.service.press(15, 6144, false);
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second"}));
}

TEST(HotKeyDispatch, OnePressServesEveryNameThatStoresTheCombination) {
    ShortcutWorld world;
    const auto alpha = world.shortcuts->name("alpha");
    const auto beta = world.shortcuts->name("beta");
    const auto gamma = world.shortcuts->name("gamma");
    std::vector<std::string> ran;
    world.shortcuts->addKeyDownAction(alpha, [&] { ran.push_back("alpha down"); });
    world.shortcuts->addKeyDownAction(beta, [&] { ran.push_back("beta down"); });
    world.shortcuts->addKeyUpAction(gamma, [&] { ran.push_back("gamma up"); });
    world.shortcuts->setShortcut(kCommandF5, alpha);
    world.shortcuts->setShortcut(kCommandF5, beta);
    world.shortcuts->setShortcut(kControlOptionR, gamma);
    EXPECT_EQ(world.service.registered().size(), 2u); // one hot key per combination

    world.pressAndRelease(kCommandF5);
    EXPECT_EQ(ran, (std::vector<std::string>{"alpha down", "beta down"}));
    ran.clear();
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(ran, (std::vector<std::string>{"gamma up"}));

    // Clearing one name keeps the hot key the other still stores.
    ran.clear();
    world.shortcuts->setShortcut(std::nullopt, alpha);
    world.pressAndRelease(kCommandF5);
    EXPECT_EQ(ran, (std::vector<std::string>{"beta down"}));
}

TEST(HotKeyDispatch, ChangingAShortcutMovesTheHotKeyAndReregistersAnEqualOne) {
    RefreshWorld world;
    world.shortcuts->setShortcut(kControlOptionR, world.refresh);
    world.shortcuts->setShortcut(kControlOptionR, world.refresh);
    EXPECT_EQ(world.service.registerCalls(), 2);
    ASSERT_EQ(world.service.registered().size(), 1u);
    EXPECT_EQ(world.service.registered().begin()->second.id.id, 2u); // ids count attempts

    world.shortcuts->setShortcut(kCommandF5, world.refresh);
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(world.runs, 0);
    world.pressAndRelease(kCommandF5);
    EXPECT_EQ(world.runs, 1);
    ASSERT_EQ(world.service.registered().size(), 1u);
    EXPECT_EQ(world.service.registered().begin()->second.keyCode, 96u);
}

TEST(HotKeyDispatch, AnotherWriterOfTheEntryMovesTheHotKeyAtOnce) {
    RefreshWorld world;
    int announced = 0;
    auto token = world.defaultCenter.addObserver(kShortcutByNameDidChangeNotification,
                                                 [&](const Notification&) { ++announced; });

    world.settings.set("KeyBindings_refresh", Value(encodeShortcut(kControlOptionR)));
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(world.runs, 1);
    world.settings.set("KeyBindings_refresh", Value(encodeShortcut(kCommandF5)));
    ASSERT_EQ(world.service.registered().size(), 1u);
    EXPECT_EQ(world.service.registered().begin()->second.keyCode, 96u);
    world.pressAndRelease(kCommandF5);
    EXPECT_EQ(world.runs, 2);
    // An entry that is no shortcut drops the hot key, and the entry is left as written.
    world.settings.set("KeyBindings_refresh", Value("{broken"));
    EXPECT_TRUE(world.service.registered().empty());
    EXPECT_EQ(world.settings.storedValues().at("KeyBindings_refresh"), Value("{broken"));
    world.settings.remove("KeyBindings_refresh");
    EXPECT_EQ(announced, 4);
    // Entries of unknown names and other keys are none of the component's business.
    world.settings.set("KeyBindings_other", Value(encodeShortcut(kControlOptionR)));
    world.settings.set("displayStyle", Value(1));
    EXPECT_TRUE(world.service.registered().empty());
    EXPECT_EQ(announced, 4);
}

TEST(HotKeyDispatch, ARefusedCombinationPrintsOneLineAndRunsNothing) {
    RefreshWorld world;
    world.service.takeByOtherProgram(15, 6144);
    world.shortcuts->addKeyDownAction(world.refresh, [&] { ++world.runs; });
    world.shortcuts->setShortcut(kControlOptionR, world.refresh);
    EXPECT_EQ(world.lines, (std::vector<std::string>{"Error registering hotkey ⌃⌥R: -9878"}));
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(world.runs, 0);
    // The identifier of the refused attempt stays used.
    world.shortcuts->setShortcut(kCommandF5, world.refresh);
    EXPECT_EQ(world.service.registered().begin()->second.id.id, 2u);
}

TEST(HotKeyDispatch, CombinationsBeyondThirtyTwoBitsNeverReachTheService) {
    RefreshWorld world;
    for (const Shortcut& wide :
         {Shortcut{key::r.rawValue, std::int64_t{1} << 32}, Shortcut{-1, modifier::kCommand},
          Shortcut{std::int64_t{1} << 40, modifier::kCommand}}) {
        world.lines.clear();
        EXPECT_FALSE(world.shortcuts->hotKeys().registerShortcut(wide, {}, {}));
        EXPECT_EQ(world.service.registerCalls(), 0);
        ASSERT_EQ(world.lines.size(), 1u);
        EXPECT_TRUE(world.lines[0].starts_with("Error registering hotkey ")) << world.lines[0];
        EXPECT_TRUE(world.lines[0].ends_with(": -50")) << world.lines[0];
    }
}

TEST(HotKeyDispatch, WhileAMenuIsTrackedKeysComeThroughTheRawPath) {
    ShortcutWorld world;
    const auto refresh = world.shortcuts->name("refresh");
    std::vector<std::string> ran;
    world.shortcuts->addKeyDownAction(refresh, [&] { ran.push_back("down"); });
    world.shortcuts->addKeyUpAction(refresh, [&] { ran.push_back("up"); });
    world.shortcuts->setShortcut(kControlOptionR, refresh);
    EXPECT_TRUE(world.service.wants(EventTypes::HotKey));
    EXPECT_FALSE(world.service.wants(EventTypes::RawKey));

    world.defaultCenter.post(kMenuDidBeginTrackingNotification);
    EXPECT_TRUE(world.service.registered().empty()); // suspended, record kept
    EXPECT_EQ(world.shortcuts->hotKeys().hotKeys().size(), 1u);
    EXPECT_FALSE(world.service.wants(EventTypes::HotKey));
    EXPECT_TRUE(world.service.wants(EventTypes::RawKey));
    // Raw keys: a shift on top is another combination; unknown modifier bits are dropped.
    EXPECT_EQ(world.service.press(15, 6144 | modifier::kShift, true), status::kEventNotHandled);
    EXPECT_EQ(world.service.press(15, 6144 | 0x400, true), status::kNoError);
    EXPECT_EQ(world.service.press(15, 6144, false), status::kNoError);
    EXPECT_EQ(ran, (std::vector<std::string>{"down", "up"}));

    world.defaultCenter.post(kMenuDidEndTrackingNotification);
    ASSERT_EQ(world.service.registered().size(), 1u);
    EXPECT_EQ(world.service.registered().begin()->second.id.id, 1u); // its old identifier
    EXPECT_TRUE(world.service.wants(EventTypes::HotKey));
    EXPECT_FALSE(world.service.wants(EventTypes::RawKey));
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(ran.size(), 4u);
}

TEST(HotKeyDispatch, AFailedReregistrationAfterTheMenuDropsTheRecord) {
    RefreshWorld world;
    world.shortcuts->setShortcut(kControlOptionR, world.refresh);
    world.defaultCenter.post(kMenuDidBeginTrackingNotification);
    world.service.takeByOtherProgram(15, 6144);
    world.defaultCenter.post(kMenuDidEndTrackingNotification);
    EXPECT_TRUE(world.shortcuts->hotKeys().hotKeys().empty());
    EXPECT_EQ(world.lines, (std::vector<std::string>{"Error registering hotkey ⌃⌥R: -9878"}));
}

TEST(HotKeyDispatch, DisabledHotKeysAndACapturingRecorderRunNoAction) {
    RefreshWorld world;
    world.shortcuts->setShortcut(kControlOptionR, world.refresh);

    std::vector<bool> recorderStates;
    auto token = world.defaultCenter.addObserver(
        kRecorderActiveStatusDidChangeNotification, [&](const Notification& n) {
            recorderStates.push_back(*findIn(n.userInfo, "isActive")->asBoolean());
        });
    world.shortcuts->setRecorderActive(true);
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(world.runs, 0);
    world.shortcuts->setRecorderActive(false);
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(world.runs, 1);
    EXPECT_EQ(recorderStates, (std::vector<bool>{true, false}));

    world.shortcuts->setHotKeysEnabled(false);
    EXPECT_TRUE(world.service.registered().empty());
    EXPECT_FALSE(world.service.wants(EventTypes::HotKey));
    world.pressAndRelease(kControlOptionR);
    world.shortcuts->setHotKeysEnabled(true);
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(world.runs, 2);

    world.shortcuts->disable({world.refresh});
    EXPECT_TRUE(world.service.registered().empty());
    EXPECT_TRUE(world.settings.storedValues().contains("KeyBindings_refresh"));
    world.pressAndRelease(kControlOptionR);
    world.shortcuts->enable({world.refresh});
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(world.runs, 3);
}

TEST(HotKeyDispatch, ForeignAndMalformedEventsAreLeftToOtherHandlers) {
    RefreshWorld world;
    world.shortcuts->setShortcut(kControlOptionR, world.refresh);
    auto& hotKeys = world.shortcuts->hotKeys();
    const auto released = std::uint32_t(KeyEventKind::HotKeyReleased);
    EXPECT_EQ(hotKeys.handleEvent(nullptr), status::kEventNotHandled);
    KeyEvent unread{released, std::nullopt};
    EXPECT_EQ(hotKeys.handleEvent(&unread), status::kEventParameterNotFound);
    KeyEvent foreign{released, HotKeyID{fourCharCode("ABCD"), 1}};
    EXPECT_EQ(hotKeys.handleEvent(&foreign), status::kEventNotHandled);
    KeyEvent unknownId{released, HotKeyID{fourCharCode("QLKS"), 7}};
    EXPECT_EQ(hotKeys.handleEvent(&unknownId), status::kEventNotHandled);
    KeyEvent otherKind{2, HotKeyID{fourCharCode("QLKS"), 1}};
    EXPECT_EQ(hotKeys.handleEvent(&otherKind), status::kEventNotHandled);
    EXPECT_EQ(world.runs, 0);
    KeyEvent ours{released, HotKeyID{fourCharCode("QLKS"), 1}};
    EXPECT_EQ(hotKeys.handleEvent(&ours), status::kNoError);
    EXPECT_EQ(world.runs, 1);
}

} // namespace
} // namespace tidemark::KeyBindings
