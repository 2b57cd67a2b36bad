#pragma once

#include "shortcuts/HotKeyService.h"
#include "shortcuts/Shortcut.h"

#include <string>
#include <string_view>

namespace tidemark::KeyBindings {

// The component's text for the space key; localized texts live outside the program.
inline constexpr std::string_view kSpaceKeyText = "space";

// The display text: modifier symbols in the order control, option, shift, command,
// function, then the key: a special key's own text, else the layout's character for it,
// capitalized, else U+FFFD.
std::string describe(const Shortcut& shortcut, KeyboardLayout& layout,
                     std::string_view spaceText = kSpaceKeyText);

} // namespace tidemark::KeyBindings
