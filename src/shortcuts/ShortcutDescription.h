#pragma once

#include "shortcuts/HotKeyService.h"
#include "shortcuts/Shortcut.h"

#include <string>
#include <string_view>

namespace tidemark::KeyBindings {

// The component's text for the space key; localized texts live outside the program.
inline constexpr std::string_view kSpaceKeyText = "space";

// How a platform writes combinations for people. Symbols: the key-cap symbols of the sim's
// scenarios, run together. Words: what a PC keyboard's keys say, joined by "+"
// ("Ctrl+Alt+R"), which `parseCombo` reads back.
enum class DescriptionStyle { Symbols, Words };

// The display text: the modifiers in the order control, option (Alt), shift, command
// (Super), function, then the key: a special key's own text or name, else the layout's
// character for it, capitalized (in words, only where that stays one character). A key with
// no single character is U+FFFD in symbols and its word of `namedKeys` in words.
std::string describe(const Shortcut& shortcut, KeyboardLayout& layout, DescriptionStyle style,
                     std::string_view spaceText = kSpaceKeyText);

} // namespace tidemark::KeyBindings
