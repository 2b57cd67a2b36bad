#pragma once

#include "shortcuts/ShortcutDescription.h"

namespace tidemark::linux_platform {

// Combinations read as a PC keyboard labels its keys, "Ctrl+Alt+R": in the preferences, on
// the command line and in the refusal line.
inline constexpr auto kShortcutDescriptionStyle = KeyBindings::DescriptionStyle::Words;

} // namespace tidemark::linux_platform
