#pragma once

#include "main/bars/BarLabels.h"

#include <string>
#include <string_view>
#include <vector>

// The labels in Pango markup, as waybar's custom modules and i3blocks' `markup=pango` read
// them.
namespace tidemark::cli::bars {

// `text` with the five characters markup gives a meaning written as entities.
std::string pangoEscaped(std::string_view text);

// One label: its text padded by a space each side; the current one bold and underlined, an
// urgent one white on red.
std::string pangoLabel(const BarLabel& label);

// Every label in display order, the displays parted by "|".
std::string pangoLabels(const std::vector<BarDisplay>& displays);

} // namespace tidemark::cli::bars
