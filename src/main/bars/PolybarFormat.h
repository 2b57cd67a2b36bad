#pragma once

#include "main/bars/BarLabels.h"

#include <string>
#include <string_view>
#include <vector>

namespace tidemark::cli::bars {

// One line for a polybar `custom/script` module with `tail = true`: each label a left-click
// action running `switchCommand ID`, and over each display's labels the wheel's actions
// (up: the space before the current one, down: the one after; none past the ends). The
// current label is drawn reversed, an urgent one white on red, the displays parted by "|".
std::string polybarLine(const std::vector<BarDisplay>& displays, std::string_view switchCommand);

// A command as an action tag holds it: polybar ends the command at the first ':' not
// preceded by a backslash.
std::string polybarActionEscaped(std::string_view command);

// Text that opens no formatting tag: polybar reads "%{" as one wherever it stands.
std::string polybarTextEscaped(std::string_view text);

} // namespace tidemark::cli::bars
