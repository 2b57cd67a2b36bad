#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::KeyBindings {

// The keys that type no printable character; each is shown by a fixed text or name.
enum class SpecialKey {
    returnKey,
    deleteKey,
    deleteForward,
    end,
    escape,
    help,
    home,
    space,
    tab,
    pageUp,
    pageDown,
    upArrow,
    rightArrow,
    downArrow,
    leftArrow,
    f1,
    f2,
    f3,
    f4,
    f5,
    f6,
    f7,
    f8,
    f9,
    f10,
    f11,
    f12,
    f13,
    f14,
    f15,
    f16,
    f17,
    f18,
    f19,
    f20,
    keypad0,
    keypad1,
    keypad2,
    keypad3,
    keypad4,
    keypad5,
    keypad6,
    keypad7,
    keypad8,
    keypad9,
    keypadClear,
    keypadDecimal,
    keypadDivide,
    keypadEnter,
    keypadEquals,
    keypadMinus,
    keypadMultiply,
    keypadPlus,
};

std::optional<SpecialKey> specialKeyForCode(std::int64_t keyCode);
std::int64_t keyCode(SpecialKey key);

// The display text; the space key shows `spaceText` (the localized word), capitalized.
std::string displayText(SpecialKey key, std::string_view spaceText);

// The key's name as a PC keyboard labels it ("Enter", "Page Up", "Keypad 7"); the space key
// is `spaceText`, capitalized, as above.
std::string keyName(SpecialKey key, std::string_view spaceText);

// F1 to F20: the keys a recorder accepts without command, option or control.
bool isFunctionKey(std::int64_t keyCode);

} // namespace tidemark::KeyBindings
