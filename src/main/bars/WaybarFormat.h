#pragma once

#include "main/bars/BarLabels.h"

#include <string>
#include <vector>

namespace tidemark::cli::bars {

// One line for a waybar custom module with `"return-type": "json"`: `text`, the labels in
// Pango markup; `alt`, the current label's text; `tooltip`, a line per space with its apps;
// `class`, "urgent" while a space is, else "".
std::string waybarLine(const std::vector<BarDisplay>& displays);

} // namespace tidemark::cli::bars
