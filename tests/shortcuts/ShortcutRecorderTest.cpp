#include "shortcuts/ShortcutRecorder.h"

#include "shortcuts/ShortcutWorld.h"

#include <gtest/gtest.h>

namespace tidemark::KeyBindings {
namespace {

using testing::ShortcutWorld;
using Type = CapturedEvent::Type;
using Response = ShortcutRecorder::Response;

const Shortcut kControlOptionR{key::r.rawValue, modifier::kControl | modifier::kOption};
const Shortcut kControlOptionLeft{key::leftArrow.rawValue, modifier::kControl | modifier::kOption};
const Shortcut kCommandQ{key::q.rawValue, modifier::kCommand};
constexpr auto kControlOption = event_flag::kControl | event_flag::kOption;

struct RecorderWorld : ShortcutWorld {
    Name refresh = shortcuts->name("refresh");
    int runs = 0;
    std::vector<std::optional<Shortcut>> changes;
    ShortcutRecorder recorder{
        shortcuts, defaultCenter, refresh,
        [] {
            return RecorderContext{{{"Quit", kCommandQ}}, {kControlOptionLeft}, false};
        },
        [this](std::optional<Shortcut> s) { changes.push_back(s); }};

    RecorderWorld() {
        shortcuts->addKeyUpAction(refresh, [this] { ++runs; });
    }
    ShortcutRecorder::Outcome type(Key key, std::uint64_t flags) {
        return recorder.handle({Type::KeyDown, key.rawValue, flags});
    }
};

TEST(ShortcutRecorder, RecordingSuspendsTheHotKeysAndStoresWhatIsTyped) {
    RecorderWorld world;
    world.shortcuts->setShortcut(Shortcut{key::f5.rawValue, modifier::kCommand}, world.refresh);
    EXPECT_EQ(world.recorder.text(), "⌘F5");
    EXPECT_EQ(world.recorder.placeholder(), "Record Shortcut");
    int shown = 0;
    auto token = world.recorder.observeChanges([&] { ++shown; });

    world.recorder.startRecording();
    EXPECT_EQ(world.recorder.placeholder(), "Press Shortcut");
    EXPECT_TRUE(world.shortcuts->isRecorderActive());
    // No grab is left to take the keys from the field.
    EXPECT_TRUE(world.service.registered().empty());
    world.pressAndRelease(Shortcut{key::f5.rawValue, modifier::kCommand});
    EXPECT_EQ(world.runs, 0);

    EXPECT_EQ(world.type(key::r, kControlOption | event_flag::kCapsLock).response,
              Response::Handled);
    EXPECT_FALSE(world.recorder.isRecording());
    EXPECT_FALSE(world.shortcuts->isRecorderActive());
    EXPECT_EQ(world.recorder.text(), "⌃⌥R");
    EXPECT_EQ(*world.settings.object("KeyBindings_refresh")->asString(),
              R"({"carbonKeyCode":15,"carbonModifiers":6144})");
    EXPECT_EQ(world.changes, (std::vector<std::optional<Shortcut>>{kControlOptionR}));
    EXPECT_GE(shown, 2); // recording began, and the text changed
    // The hot keys are back, on the new combination only.
    ASSERT_EQ(world.service.registered().size(), 1u);
    EXPECT_EQ(world.service.registered().begin()->second.keyCode, 15u);
    world.pressAndRelease(kControlOptionR);
    EXPECT_EQ(world.runs, 1);
}

TEST(ShortcutRecorder, EachCapturedEventHasItsOutcome) {
    struct Case {
        const char* what;
        CapturedEvent event;
        Response response;
        bool recordingAfter;
        std::optional<Shortcut> storedAfter;
    };
    const std::optional<Shortcut> kept = Shortcut{key::f5.rawValue, modifier::kCommand};
    using enum ShortcutRecorder::Response;
    using enum CapturedEvent::Type;
    const std::vector<Case> cases{
        {"click outside", {MouseClickOutside, 0, 0}, Handled, false, kept},
        {"escape", {KeyDown, key::escape.rawValue, 0}, Handled, false, kept},
        {"delete", {KeyDown, key::deleteKey.rawValue, 0}, Handled, true, {}},
        {"no modifier", {KeyDown, key::r.rawValue, event_flag::kShift}, Beep, true, kept},
        {"window manager's", {KeyDown, key::leftArrow.rawValue, kControlOption}, Alert, true, kept},
        {"a menu item's", {KeyDown, key::q.rawValue, event_flag::kCommand}, Alert, true, kept},
    };
    for (const auto& c : cases) {
        RecorderWorld world;
        world.shortcuts->setShortcut(kept, world.refresh);
        world.recorder.startRecording();
        const auto outcome = world.recorder.handle(c.event);
        EXPECT_EQ(outcome.response, c.response) << c.what;
        EXPECT_EQ(world.recorder.isRecording(), c.recordingAfter) << c.what;
        EXPECT_EQ(world.shortcuts->getShortcut(world.refresh), c.storedAfter) << c.what;
        // The hot keys come back exactly when recording ends.
        EXPECT_EQ(world.service.registered().empty(), c.recordingAfter || !c.storedAfter) << c.what;
    }
}

TEST(ShortcutRecorder, AlertsNameTheMenuItemAndOnlyForceStoresTheWindowManagersKeys) {
    RecorderWorld world;
    world.recorder.startRecording();
    const auto menuItem = world.type(key::q, event_flag::kCommand);
    ASSERT_TRUE(menuItem.alert);
    EXPECT_NE(menuItem.alert->messageText.find("“Quit”"), std::string::npos);
    EXPECT_EQ(menuItem.alert->buttons, (std::vector<std::string>{"OK"}));
    const auto outcome = world.type(key::leftArrow, kControlOption);
    ASSERT_TRUE(outcome.alert);
    EXPECT_EQ(outcome.alert->buttons, (std::vector<std::string>{"OK", "Use Anyway"}));
    world.recorder.alertAnswered(*outcome.alert, 1);
    EXPECT_TRUE(world.recorder.isRecording());
    EXPECT_FALSE(world.shortcuts->getShortcut(world.refresh));
    world.recorder.alertAnswered(*outcome.alert, 2);
    EXPECT_FALSE(world.recorder.isRecording());
    EXPECT_EQ(world.shortcuts->getShortcut(world.refresh), kControlOptionLeft);
}

TEST(ShortcutRecorder, ARecorderGoneWhileRecordingGivesTheHotKeysBack) {
    ShortcutWorld world;
    const auto refresh = world.shortcuts->name("refresh");
    world.shortcuts->setShortcut(kControlOptionR, refresh);
    {
        ShortcutRecorder recorder(world.shortcuts, world.defaultCenter, refresh, {});
        recorder.startRecording();
        EXPECT_TRUE(world.service.registered().empty());
    }
    EXPECT_FALSE(world.shortcuts->isRecorderActive());
    EXPECT_EQ(world.service.registered().size(), 1u);
}

} // namespace
} // namespace tidemark::KeyBindings
