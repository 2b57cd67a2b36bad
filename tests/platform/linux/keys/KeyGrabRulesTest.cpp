#include "platform/linux/i3/I3Bindings.h"
#include "platform/linux/keys/KeyRepeatFilter.h"
#include "platform/linux/keys/XKeyTable.h"
#include "shortcuts/RecorderRules.h"
#include "shortcuts/Shortcut.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

namespace key = KeyBindings::key;
namespace modifier = KeyBindings::modifier;

TEST(XKeyTable, EveryNamedKeyWithAPcCounterpartMapsBothWays) {
    int mapped = 0;
    for (const auto& named : KeyBindings::namedKeys()) {
        const auto x = xkeys::xKeyCode(named.key.rawValue);
        if (!x) {
            EXPECT_EQ(named.key, key::function); // the one key X has no code for
            continue;
        }
        ++mapped;
        EXPECT_GE(*x, 8);
        EXPECT_EQ(xkeys::virtualKeyCode(*x), named.key.rawValue) << named.word;
    }
    EXPECT_EQ(mapped, int(KeyBindings::namedKeys().size()) - 1);
    // Spot checks against the evdev keymap: r, Return, F5, Left.
    EXPECT_EQ(xkeys::xKeyCode(key::r.rawValue), 27);
    EXPECT_EQ(xkeys::xKeyCode(key::returnKey.rawValue), 36);
    EXPECT_EQ(xkeys::xKeyCode(key::f5.rawValue), 71);
    EXPECT_EQ(xkeys::xKeyCode(key::leftArrow.rawValue), 113);
}

TEST(XKeyTable, ModifierBitsBecomeMasksAndLocksNeverCount) {
    EXPECT_EQ(xkeys::xModifierMask(modifier::kControl | modifier::kOption),
              xkeys::kControlMask | xkeys::kMod1Mask);
    EXPECT_EQ(xkeys::xModifierMask(modifier::kCommand | modifier::kShift),
              xkeys::kMod4Mask | xkeys::kShiftMask);
    EXPECT_EQ(xkeys::xModifierMask(0), 0);
    EXPECT_EQ(xkeys::xModifierMask(modifier::kFunction), std::nullopt);
    EXPECT_EQ(xkeys::xModifierMask(modifier::kCommand | 0x400), std::nullopt);
    EXPECT_EQ(xkeys::carbonModifiers(xkeys::kControlMask | xkeys::kLockMask | xkeys::kNumLockMask |
                                     xkeys::kMod5Mask),
              modifier::kControl);
    const auto variants = xkeys::lockVariants(xkeys::kControlMask);
    EXPECT_EQ(variants.size(), 4u);
    for (const auto variant : variants)
        EXPECT_EQ(xkeys::carbonModifiers(variant), modifier::kControl);
}

TEST(KeyRepeatFilter, HeldKeysReportOnePressAndOneRelease) {
    KeyRepeatFilter filter;
    using T = KeyTransition;
    // Detectable auto-repeat: more presses, one release.
    EXPECT_EQ(filter.filter({T{27, true, 100}, T{27, true, 130}, T{27, true, 160}}),
              (std::vector<T>{T{27, true, 100}}));
    EXPECT_EQ(filter.filter({T{27, false, 200}}), (std::vector<T>{T{27, false, 200}}));
    // Classic auto-repeat: release and press with one time stamp, in the same batch.
    EXPECT_EQ(filter.filter({T{36, true, 300}, T{36, false, 330}, T{36, true, 330},
                             T{36, false, 360}, T{36, true, 360}, T{36, false, 400}}),
              (std::vector<T>{T{36, true, 300}, T{36, false, 400}}));
    // A release without its press (the grab began while the key was down) is dropped;
    // another key's transitions in between are kept.
    EXPECT_EQ(
        filter.filter({T{9, false, 500}, T{27, true, 510}, T{9, true, 520}, T{27, false, 530}}),
        (std::vector<T>{T{27, true, 510}, T{9, true, 520}, T{27, false, 530}}));
}

TEST(I3Bindings, DefaultModeBindingsWithVariablesBecomeSystemShortcuts) {
    const std::string config = R"(# i3 config file (v4)
set $mod Mod4
set $mode_resize resize
font pango:DejaVu Sans Mono 8
bindsym $mod+Return exec i3-sensible-terminal
bindsym --release $mod+Shift+q kill
  bindsym Mod1+Control+Left workspace prev
bindcode Mod1+27 exec true
bindsym Mod1+Mod2+F5 reload
bindsym Mod3+x exec nothing
bindsym Mod1+nosuchkey exec nothing
mode "$mode_resize" {
    bindsym Left resize shrink width 10 px
    bindsym Escape mode "default"
}
bar {
    bindsym button4 nop
}
bindsym Mod1+a exec after-the-blocks
)";
    const auto bindings = i3::parseKeyBindings(config);
    ASSERT_EQ(bindings.size(), 8u);
    EXPECT_EQ(bindings[0].modifiers, (std::vector<std::string>{"Mod4"}));
    EXPECT_EQ(bindings[0].key, "Return");
    EXPECT_EQ(bindings[1].modifiers, (std::vector<std::string>{"Mod4", "Shift"}));
    EXPECT_TRUE(bindings[3].byCode);
    EXPECT_EQ(bindings[7].key, "a");

    const std::map<std::string, std::uint8_t> keysyms{{"Return", 36}, {"q", 24}, {"Left", 113},
                                                      {"F5", 71},     {"x", 53}, {"a", 38}};
    const auto list = i3::symbolicHotKeys(bindings, [&](const std::string& name) {
        const auto it = keysyms.find(name);
        return it == keysyms.end() ? std::nullopt : std::optional<std::uint8_t>(it->second);
    });
    using KeyBindings::Shortcut;
    EXPECT_EQ(KeyBindings::enabledSystemShortcuts(list),
              (std::vector<Shortcut>{
                  {key::returnKey.rawValue, modifier::kCommand},
                  {key::q.rawValue, modifier::kCommand | modifier::kShift},
                  {key::leftArrow.rawValue, modifier::kOption | modifier::kControl},
                  {key::r.rawValue, modifier::kOption},
                  {key::f5.rawValue, modifier::kOption},
                  {key::a.rawValue, modifier::kOption},
              }));
}

TEST(I3Bindings, ALineThatVariablesBlowUpPastTheBoundIsSkipped) {
    // Each variable is the one before it twice: `$aaaaaaaaaaaa` stands for 128 KiB.
    std::string config = "set $a " + std::string(64, 'k') + "\n";
    std::string name = "$a";
    for (int i = 0; i < 11; ++i) {
        config += "set " + name + "a " + name + name + "\n";
        name += "a";
    }
    config += "bindsym Mod4+" + name + " exec too-long\n";
    // Nine doublings, 32 KiB, are within the bound and read.
    config += "bindsym Mod4+" + name.substr(0, name.size() - 2) + " exec within\n";
    config += "bindsym Mod1+a exec fine\n";
    const auto bindings = i3::parseKeyBindings(config);
    ASSERT_EQ(bindings.size(), 2u);
    EXPECT_EQ(bindings[0].key, std::string(32 * 1024, 'k'));
    EXPECT_EQ(bindings[1].key, "a");
}

} // namespace
} // namespace tidemark::linux_platform
