#include "shortcuts/SpecialKey.h"

#include "foundation/Text.h"

#include <array>

namespace tidemark::KeyBindings {
namespace {

struct SpecialKeyInfo {
    SpecialKey key;
    std::int64_t code;
    std::string_view text; // empty for the space key, whose text is localized
};

constexpr std::string_view kKeycap = "\u20E3";

constexpr std::array<SpecialKeyInfo, 53> kSpecialKeys{{
    {SpecialKey::returnKey, 36, "\u21A9"},
    {SpecialKey::deleteKey, 51, "\u232B"},
    {SpecialKey::deleteForward, 117, "\u2326"},
    {SpecialKey::end, 119, "\u2198"},
    {SpecialKey::escape, 53, "\u238B"},
    {SpecialKey::help, 114, "?\u20DD"},
    {SpecialKey::home, 115, "\u2196"},
    {SpecialKey::space, 49, ""},
    {SpecialKey::tab, 48, "\u21E5"},
    {SpecialKey::pageUp, 116, "\u21DE"},
    {SpecialKey::pageDown, 121, "\u21DF"},
    {SpecialKey::upArrow, 126, "\u2191"},
    {SpecialKey::rightArrow, 124, "\u2192"},
    {SpecialKey::downArrow, 125, "\u2193"},
    {SpecialKey::leftArrow, 123, "\u2190"},
    {SpecialKey::f1, 122, "F1"},
    {SpecialKey::f2, 120, "F2"},
    {SpecialKey::f3, 99, "F3"},
    {SpecialKey::f4, 118, "F4"},
    {SpecialKey::f5, 96, "F5"},
    {SpecialKey::f6, 97, "F6"},
    {SpecialKey::f7, 98, "F7"},
    {SpecialKey::f8, 100, "F8"},
    {SpecialKey::f9, 101, "F9"},
    {SpecialKey::f10, 109, "F10"},
    {SpecialKey::f11, 103, "F11"},
    {SpecialKey::f12, 111, "F12"},
    {SpecialKey::f13, 105, "F13"},
    {SpecialKey::f14, 107, "F14"},
    {SpecialKey::f15, 113, "F15"},
    {SpecialKey::f16, 106, "F16"},
    {SpecialKey::f17, 64, "F17"},
    {SpecialKey::f18, 79, "F18"},
    {SpecialKey::f19, 80, "F19"},
    {SpecialKey::f20, 90, "F20"},
    {SpecialKey::keypad0, 82, "0"},
    {SpecialKey::keypad1, 83, "1"},
    {SpecialKey::keypad2, 84, "2"},
    {SpecialKey::keypad3, 85, "3"},
    {SpecialKey::keypad4, 86, "4"},
    {SpecialKey::keypad5, 87, "5"},
    {SpecialKey::keypad6, 88, "6"},
    {SpecialKey::keypad7, 89, "7"},
    {SpecialKey::keypad8, 91, "8"},
    {SpecialKey::keypad9, 92, "9"},
    {SpecialKey::keypadClear, 71, "\u2612"},
    {SpecialKey::keypadDecimal, 65, "."},
    {SpecialKey::keypadDivide, 75, "/"},
    {SpecialKey::keypadEnter, 76, "\u21A9"},
    {SpecialKey::keypadEquals, 81, "="},
    {SpecialKey::keypadMinus, 78, "-"},
    {SpecialKey::keypadMultiply, 67, "*"},
    {SpecialKey::keypadPlus, 69, "+"},
}};

constexpr bool tableFollowsEnumeration() {
    for (std::size_t i = 0; i < kSpecialKeys.size(); ++i)
        if (kSpecialKeys[i].key != static_cast<SpecialKey>(i))
            return false;
    return true;
}
static_assert(tableFollowsEnumeration(), "the table is indexed by the enumeration");

const SpecialKeyInfo& info(SpecialKey key) {
    return kSpecialKeys[static_cast<std::size_t>(key)];
}

bool isKeypad(SpecialKey key) {
    return key >= SpecialKey::keypad0 && key <= SpecialKey::keypadPlus;
}

} // namespace

std::optional<SpecialKey> specialKeyForCode(std::int64_t keyCode) {
    for (const auto& entry : kSpecialKeys)
        if (entry.code == keyCode)
            return entry.key;
    return std::nullopt;
}

std::int64_t keyCode(SpecialKey key) {
    return info(key).code;
}

std::string displayText(SpecialKey key, std::string_view spaceText) {
    if (key == SpecialKey::space)
        return text::capitalized(spaceText);
    std::string result(info(key).text);
    if (isKeypad(key))
        result += kKeycap;
    return result;
}

bool isFunctionKey(std::int64_t keyCode) {
    const auto key = specialKeyForCode(keyCode);
    return key && *key >= SpecialKey::f1 && *key <= SpecialKey::f20;
}

} // namespace tidemark::KeyBindings
