#include "shortcuts/ShortcutDescription.h"

#include "platform/sim/SimHotKeyService.h"
#include "shortcuts/SpecialKey.h"

#include <gtest/gtest.h>

namespace tidemark::KeyBindings {
namespace {

TEST(ShortcutDescription, ModifiersInFixedOrderThenTheKeyText) {
    sim::SimKeyboardLayout us;
    struct Case {
        Shortcut shortcut;
        std::string text;
    };
    const std::vector<Case> cases{
        {{key::r.rawValue, modifier::kCommand}, "⌘R"},
        {{key::f5.rawValue,
          modifier::kCommand | modifier::kShift | modifier::kOption | modifier::kControl},
         "⌃⌥⇧⌘F5"},
        {{key::a.rawValue, modifier::kFunction | modifier::kControl}, "⌃🌐︎A"},
        {{key::space.rawValue, modifier::kOption}, "⌥Space"},
        {{key::returnKey.rawValue, 0}, "↩"},
        {{key::keypadEnter.rawValue, modifier::kControl}, "⌃↩⃣"},
        {{key::keypad7.rawValue, 0}, "7⃣"},
        {{key::help.rawValue, 0}, "?⃝"},
        {{key::leftArrow.rawValue, modifier::kShift}, "⇧←"},
        {{key::minus.rawValue, modifier::kControl}, "⌃-"},
        {{key::nine.rawValue, 0x400 /* not a modifier of the table */}, "9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(c.shortcut, us, DescriptionStyle::Symbols), c.text) << c.text;
}

TEST(ShortcutDescription, NonSpecialKeysShowWhatTheCurrentLayoutTypes) {
    sim::SimKeyboardLayout layout;
    const Shortcut commandR{key::r.rawValue, modifier::kCommand};
    // Another layout puts another character on the same key; it is capitalized.
    layout.setCharacter(key::r.rawValue, "ж");
    EXPECT_EQ(describe(commandR, layout, DescriptionStyle::Symbols), "⌘Ж");
    layout.setCharacter(key::r.rawValue, "ß");
    EXPECT_EQ(describe(commandR, layout, DescriptionStyle::Symbols), "⌘Ss");
    // No character, or more than one: the replacement character.
    layout.setCharacter(key::r.rawValue, std::nullopt);
    EXPECT_EQ(describe(commandR, layout, DescriptionStyle::Symbols), "⌘\uFFFD");
    layout.setCharacter(key::r.rawValue, "ab");
    EXPECT_EQ(describe(commandR, layout, DescriptionStyle::Symbols), "⌘\uFFFD");
    // Special keys never ask the layout.
    layout.setCharacter(key::escape.rawValue, "x");
    EXPECT_EQ(describe({key::escape.rawValue, 0}, layout, DescriptionStyle::Symbols), "⎋");
    EXPECT_EQ(describe({key::space.rawValue, 0}, layout, DescriptionStyle::Symbols, "leertaste"),
              "Leertaste");
}

TEST(ShortcutDescription, WordsNameTheModifiersInOrderAndTheKeysAsAPcKeyboardDoes) {
    sim::SimKeyboardLayout us;
    struct Case {
        Shortcut shortcut;
        std::string text;
    };
    const std::vector<Case> cases{
        {{key::r.rawValue, modifier::kControl | modifier::kOption}, "Ctrl+Alt+R"},
        {{key::w.rawValue, modifier::kCommand | modifier::kShift}, "Shift+Super+W"},
        {{key::f5.rawValue,
          modifier::kCommand | modifier::kShift | modifier::kOption | modifier::kControl},
         "Ctrl+Alt+Shift+Super+F5"},
        {{key::a.rawValue, modifier::kFunction | modifier::kControl}, "Ctrl+Fn+A"},
        {{key::help.rawValue, modifier::kControl}, "Ctrl+Insert"},
        {{key::returnKey.rawValue, modifier::kOption}, "Alt+Enter"},
        {{key::deleteKey.rawValue, modifier::kControl}, "Ctrl+Backspace"},
        {{key::deleteForward.rawValue, modifier::kControl}, "Ctrl+Delete"},
        {{key::escape.rawValue, modifier::kCommand}, "Super+Esc"},
        {{key::pageUp.rawValue, modifier::kControl | modifier::kOption}, "Ctrl+Alt+Page Up"},
        {{key::home.rawValue, 0}, "Home"},
        {{key::space.rawValue, modifier::kCommand}, "Super+Space"},
        {{key::keypad7.rawValue, modifier::kControl}, "Ctrl+Keypad 7"},
        {{key::keypadPlus.rawValue, modifier::kControl}, "Ctrl+Keypad Plus"},
        {{key::minus.rawValue, modifier::kControl}, "Ctrl+-"},
        {{key::mute.rawValue, modifier::kControl}, "Ctrl+Mute"}, // a key without a character
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(c.shortcut, us, DescriptionStyle::Words), c.text) << c.text;
}

TEST(ShortcutDescription, ModifierConversionsKeepTheFiveKnownBitsBothWays) {
    const std::int64_t all = modifier::kCommand | modifier::kShift | modifier::kOption |
                             modifier::kControl | modifier::kFunction;
    EXPECT_EQ(carbonFromEventFlags(eventFlagsFromCarbon(all | 0x400 | 0x1)), all);
    EXPECT_EQ(eventFlagsFromCarbon(modifier::kCommand | modifier::kControl),
              event_flag::kCommand | event_flag::kControl);
    EXPECT_EQ(
        carbonFromEventFlags(event_flag::kCapsLock | event_flag::kNumericPad | event_flag::kOption),
        modifier::kOption);
}

TEST(ShortcutDescription, EverySpecialKeyCodeFindsItsKey) {
    int count = 0;
    for (std::int64_t code = 0; code < 128; ++code)
        if (const auto special = specialKeyForCode(code)) {
            ++count;
            EXPECT_EQ(keyCode(*special), code);
            EXPECT_FALSE(displayText(*special, "space").empty());
        }
    EXPECT_EQ(count, 53);
    EXPECT_TRUE(isFunctionKey(key::f20.rawValue));
    EXPECT_FALSE(isFunctionKey(key::keypad1.rawValue));
}

} // namespace
} // namespace tidemark::KeyBindings
