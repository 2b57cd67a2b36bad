#pragma once

#include "shortcuts/RecorderRules.h"
#include "shortcuts/Shortcut.h"

#include <optional>
#include <string>
#include <string_view>

// Combinations written as words: "ctrl+alt+r", "super+shift+f5".
namespace tidemark::KeyBindings {

struct ParsedCombo {
    std::optional<CapturedEvent> event; // a key with its modifier flags
    std::string error;                  // set when `event` is absent; names the bad word
};

// Modifiers: ctrl/control, alt/option, shift, super/cmd/command, fn/function. The last word
// is the key: a letter, digit or punctuation character, or a key's name (return, space, f5,
// left, keypad7, …), in any case.
ParsedCombo parseCombo(std::string_view text);

// The words of a combination, modifiers in the description's order: "ctrl+alt+r".
std::string formatCombo(const Shortcut& shortcut);

} // namespace tidemark::KeyBindings
