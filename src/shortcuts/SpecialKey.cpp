#include "shortcuts/SpecialKey.h"

#include "foundation/Text.h"

#include <array>

namespace tidemark::KeyBindings {
namespace {

struct SpecialKeyInfo {
    SpecialKey key;
    std::int64_t code;
    std::string_view text; // empty for the space key, whose text is localized
    std::string_view word; // the name on a PC keyboard; empty for the space key too
};

constexpr std::string_view kKeycap = "\u20E3";

constexpr std::array<SpecialKeyInfo, 53> kSpecialKeys{{
    {SpecialKey::returnKey, 36, "\u21A9", "Enter"},
    {SpecialKey::deleteKey, 51, "\u232B", "Backspace"},
    {SpecialKey::deleteForward, 117, "\u2326", "Delete"},
    {SpecialKey::end, 119, "\u2198", "End"},
    {SpecialKey::escape, 53, "\u238B", "Esc"},
    {SpecialKey::help, 114, "?\u20DD", "Insert"},
    {SpecialKey::home, 115, "\u2196", "Home"},
    {SpecialKey::space, 49, "", ""},
    {SpecialKey::tab, 48, "\u21E5", "Tab"},
    {SpecialKey::pageUp, 116, "\u21DE", "Page Up"},
    {SpecialKey::pageDown, 121, "\u21DF", "Page Down"},
    {SpecialKey::upArrow, 126, "\u2191", "Up"},
    {SpecialKey::rightArrow, 124, "\u2192", "Right"},
    {SpecialKey::downArrow, 125, "\u2193", "Down"},
    {SpecialKey::leftArrow, 123, "\u2190", "Left"},
    {SpecialKey::f1, 122, "F1", "F1"},
    {SpecialKey::f2, 120, "F2", "F2"},
    {SpecialKey::f3, 99, "F3", "F3"},
    {SpecialKey::f4, 118, "F4", "F4"},
    {SpecialKey::f5, 96, "F5", "F5"},
    {SpecialKey::f6, 97, "F6", "F6"},
    {SpecialKey::f7, 98, "F7", "F7"},
    {SpecialKey::f8, 100, "F8", "F8"},
    {SpecialKey::f9, 101, "F9", "F9"},
    {SpecialKey::f10, 109, "F10", "F10"},
    {SpecialKey::f11, 103, "F11", "F11"},
    {SpecialKey::f12, 111, "F12", "F12"},
    {SpecialKey::f13, 105, "F13", "F13"},
    {SpecialKey::f14, 107, "F14", "F14"},
    {SpecialKey::f15, 113, "F15", "F15"},
    {SpecialKey::f16, 106, "F16", "F16"},
    {SpecialKey::f17, 64, "F17", "F17"},
    {SpecialKey::f18, 79, "F18", "F18"},
    {SpecialKey::f19, 80, "F19", "F19"},
    {SpecialKey::f20, 90, "F20", "F20"},
    {SpecialKey::keypad0, 82, "0", "Keypad 0"},
    {SpecialKey::keypad1, 83, "1", "Keypad 1"},
    {SpecialKey::keypad2, 84, "2", "Keypad 2"},
    {SpecialKey::keypad3, 85, "3", "Keypad 3"},
    {SpecialKey::keypad4, 86, "4", "Keypad 4"},
    {SpecialKey::keypad5, 87, "5", "Keypad 5"},
    {SpecialKey::keypad6, 88, "6", "Keypad 6"},
    {SpecialKey::keypad7, 89, "7", "Keypad 7"},
    {SpecialKey::keypad8, 91, "8", "Keypad 8"},
    {SpecialKey::keypad9, 92, "9", "Keypad 9"},
    {SpecialKey::keypadClear, 71, "\u2612", "Num Lock"},
    {SpecialKey::keypadDecimal, 65, ".", "Keypad Decimal"},
    {SpecialKey::keypadDivide, 75, "/", "Keypad Divide"},
    {SpecialKey::keypadEnter, 76, "\u21A9", "Keypad Enter"},
    {SpecialKey::keypadEquals, 81, "=", "Keypad Equals"},
    {SpecialKey::keypadMinus, 78, "-", "Keypad Minus"},
    {SpecialKey::keypadMultiply, 67, "*", "Keypad Multiply"},
    {SpecialKey::keypadPlus, 69, "+", "Keypad Plus"},
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

std::string keyName(SpecialKey key, std::string_view spaceText) {
    return key == SpecialKey::space ? text::capitalized(spaceText) : std::string(info(key).word);
}

bool isFunctionKey(std::int64_t keyCode) {
    const auto key = specialKeyForCode(keyCode);
    return key && *key >= SpecialKey::f1 && *key <= SpecialKey::f20;
}

} // namespace tidemark::KeyBindings
