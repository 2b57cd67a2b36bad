#pragma once

#include "foundation/Value.h"
#include "shortcuts/Shortcut.h"

#include <optional>
#include <string>

// How a shortcut lives in the settings store.
namespace tidemark::KeyBindings {

inline constexpr std::string_view kSettingsKeyPrefix = "KeyBindings_";

std::string settingsKey(const Name& name);
// The name a settings key belongs to, when it is one of this component's keys.
std::optional<std::string> nameOfSettingsKey(std::string_view key);

// {"carbonKeyCode":15,"carbonModifiers":256}: members in this order, no spaces.
std::string encodeShortcut(const Shortcut& shortcut);

// The shortcut an entry holds. Only a string of JSON with exactly the two integer members,
// each within 32 unsigned bits, is one; anything else (false, other types, bad JSON, unknown
// members, huge or negative numbers) is none.
std::optional<Shortcut> decodeShortcutEntry(const std::optional<Value>& entry);

} // namespace tidemark::KeyBindings
