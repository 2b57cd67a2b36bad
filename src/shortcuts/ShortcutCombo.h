#pragma once

#include "shortcuts/RecorderRules.h"
#include "shortcuts/Shortcut.h"

#include <optional>
#include <string>
#include <string_view>

// Combinations written as words, the way `describe` writes them in words: "Ctrl+Alt+R",
// "Shift+Super+Page Up".
namespace tidemark::KeyBindings {

struct ParsedCombo {
    std::optional<CapturedEvent> event; // a key with its modifier flags
    std::string error;                  // set when `event` is absent; names the bad word
};

// Modifiers, then one key, joined by "+"; case and spaces within a word do not matter.
// Modifiers: ctrl (control), alt (option), shift, super (cmd, command); fn is refused. The
// key: a letter, digit or punctuation character, or a key's name (enter, esc, tab, space,
// backspace, delete, insert, home, end, page up, up, f5, keypad 7, keypad plus, …).
ParsedCombo parseCombo(std::string_view text);

} // namespace tidemark::KeyBindings
