#include "shortcuts/RecorderRules.h"

#include "platform/sim/SimHotKeyService.h"
#include "shortcuts/ShortcutCombo.h"
#include "shortcuts/ShortcutDescription.h"

#include <gtest/gtest.h>

namespace tidemark::KeyBindings {
namespace {

using Verdict = RecorderDecision::Verdict;
using Type = CapturedEvent::Type;

TEST(RecorderRules, ChecksRunInOrderAndTheFirstThatAppliesDecides) {
    const Shortcut controlQ{key::q.rawValue, modifier::kControl};
    const Shortcut optionS{key::s.rawValue, modifier::kOption};
    const Shortcut controlOptionLeft{key::leftArrow.rawValue,
                                     modifier::kControl | modifier::kOption};
    RecorderContext context{{{"Quit", controlQ}}, {controlOptionLeft, optionS}, true};
    const auto lockFlags = event_flag::kCapsLock | event_flag::kNumericPad;
    struct Case {
        CapturedEvent event;
        Verdict verdict;
    };
    const std::vector<Case> cases{
        {{Type::MouseClickOutside, key::r.rawValue, event_flag::kCommand}, Verdict::EndRecording},
        {{Type::KeyDown, key::escape.rawValue, lockFlags | 0x1}, Verdict::EndRecording},
        {{Type::KeyDown, key::escape.rawValue, event_flag::kShift}, Verdict::Beep},
        {{Type::KeyDown, key::escape.rawValue, event_flag::kControl}, Verdict::Accept},
        {{Type::KeyDown, key::deleteKey.rawValue, event_flag::kCapsLock}, Verdict::ClearShortcut},
        {{Type::KeyDown, key::r.rawValue, event_flag::kShift | event_flag::kFunction},
         Verdict::Beep},
        {{Type::KeyDown, key::f13.rawValue, 0}, Verdict::Accept},
        {{Type::KeyDown, key::q.rawValue, event_flag::kControl}, Verdict::UsedByMenuItem},
        // Sandbox rule: option alone (shift allowed) is refused before the system list.
        {{Type::KeyDown, key::s.rawValue, event_flag::kOption}, Verdict::Disallowed},
        {{Type::KeyDown, key::s.rawValue, event_flag::kOption | event_flag::kShift},
         Verdict::Disallowed},
        {{Type::KeyDown, key::leftArrow.rawValue,
          event_flag::kControl | event_flag::kOption | event_flag::kNumericPad},
         Verdict::UsedBySystem},
        {{Type::KeyDown, key::r.rawValue, event_flag::kControl | event_flag::kOption},
         Verdict::Accept},
    };
    for (const auto& c : cases) {
        const auto decision = decideCapturedEvent(c.event, context);
        EXPECT_EQ(decision.verdict, c.verdict)
            << "key " << c.event.keyCode << " flags " << std::hex << c.event.eventFlags;
    }
    // What is stored: the key code and the five known modifiers in the service's bits.
    const auto accepted = decideCapturedEvent(
        {Type::KeyDown, key::r.rawValue,
         event_flag::kControl | event_flag::kOption | event_flag::kCapsLock | 0x7},
        context);
    EXPECT_EQ(accepted.shortcut,
              (Shortcut{key::r.rawValue, modifier::kControl | modifier::kOption}));
    EXPECT_EQ(decideCapturedEvent({Type::KeyDown, key::q.rawValue, event_flag::kControl}, context)
                  .menuItemTitle,
              "Quit");
    // Without the sandbox rule option alone falls through to the system list.
    context.optionOnlyDisallowed = false;
    EXPECT_EQ(
        decideCapturedEvent({Type::KeyDown, key::s.rawValue, event_flag::kOption}, context).verdict,
        Verdict::UsedBySystem);
}

TEST(RecorderRules, OnlyEnabledSystemEntriesWithIntegerFieldsCount) {
    const auto entry = [](Value enabled, Value code, Value modifiers) {
        return Value(ValueDictionary{{kSymbolicHotKeyEnabled, std::move(enabled)},
                                     {kSymbolicHotKeyCode, std::move(code)},
                                     {kSymbolicHotKeyModifiers, std::move(modifiers)}});
    };
    const Value list(ValueArray{
        entry(true, 123, 0x1000 | 0x800 | 0x400), // unknown bits are normalised away
        entry(false, 124, 0x1000),
        entry(1, 125, 0x1000),      // enabled must be a boolean
        entry(true, "126", 0x1000), // code must be an integer
        entry(true, 126, 4096.0),   // so must the modifiers
        Value("not a dictionary"),
        entry(true, 49, 0x100),
    });
    EXPECT_EQ(enabledSystemShortcuts(list),
              (std::vector<Shortcut>{{123, 0x1000 | 0x800}, {49, 0x100}}));
    EXPECT_TRUE(enabledSystemShortcuts(Value(ValueDictionary{})).empty());
}

TEST(ShortcutCombo, WordsParseIntoTheStoredFormAndBadWordsAreNamed) {
    struct Good {
        std::string text;
        Shortcut shortcut;
    };
    const std::vector<Good> good{
        {"ctrl+alt+r", {key::r.rawValue, modifier::kControl | modifier::kOption}},
        {"Super+Shift+F5", {key::f5.rawValue, modifier::kCommand | modifier::kShift}},
        {"control+option+Return",
         {key::returnKey.rawValue, modifier::kControl | modifier::kOption}},
        {"cmd+-", {key::minus.rawValue, modifier::kCommand}},
        {" ctrl + Keypad 7 ", {key::keypad7.rawValue, modifier::kControl}},
        {"Ctrl+Alt+Page Up", {key::pageUp.rawValue, modifier::kControl | modifier::kOption}},
        {"super+shift+w", {key::w.rawValue, modifier::kCommand | modifier::kShift}},
        {"ctrl+esc", {key::escape.rawValue, modifier::kControl}},
        {"alt+Enter", {key::returnKey.rawValue, modifier::kOption}},
        {"ctrl+ins", {key::help.rawValue, modifier::kControl}},
        {"ctrl+ctrl+BackSpace", {key::deleteKey.rawValue, modifier::kControl}},
        {"f12", {key::f12.rawValue, 0}},
    };
    for (const auto& g : good) {
        const auto parsed = parseCombo(g.text);
        ASSERT_TRUE(parsed.event) << g.text << ": " << parsed.error;
        EXPECT_EQ((Shortcut{parsed.event->keyCode, carbonFromEventFlags(parsed.event->eventFlags)}),
                  g.shortcut)
            << g.text;
    }
    struct Bad {
        std::string text;
        std::string named;
    };
    const std::vector<Bad> bad{
        {"hyper+r", "'hyper'"},
        {"ctrl+alt", "'alt'"},
        {"ctrl+", "'ctrl+'"},
        {"ctrl+blah", "'blah'"},
        {"a+b", "'a'"},
        {"ctrl++r", "'ctrl++r'"},
        {"ctrl+ +r", "'ctrl+ +r'"},
        {"Fn+F5", "'Fn+F5' holds fn"},
        {"ctrl+function+a", "holds fn"},
        {"", "''"},
    };
    for (const auto& b : bad) {
        const auto parsed = parseCombo(b.text);
        EXPECT_FALSE(parsed.event) << b.text;
        EXPECT_NE(parsed.error.find(b.named), std::string::npos) << b.text << ": " << parsed.error;
    }
}

TEST(ShortcutCombo, DescriptionsInWordsParseBackToTheSameShortcut) {
    sim::SimKeyboardLayout us;
    const std::int64_t modifierSets[] = {0, modifier::kControl | modifier::kOption,
                                         modifier::kControl | modifier::kOption | modifier::kShift |
                                             modifier::kCommand};
    for (const auto modifiers : modifierSets)
        for (const auto& named : namedKeys()) {
            const Shortcut shortcut{named.key.rawValue, modifiers};
            const auto text = describe(shortcut, us, DescriptionStyle::Words);
            const auto parsed = parseCombo(text);
            ASSERT_TRUE(parsed.event) << text << ": " << parsed.error;
            EXPECT_EQ(parsed.event->keyCode, shortcut.carbonKeyCode) << text;
            EXPECT_EQ(carbonFromEventFlags(parsed.event->eventFlags), modifiers) << text;
        }
}

} // namespace
} // namespace tidemark::KeyBindings
