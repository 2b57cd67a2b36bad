#pragma once

#include "spaces/Space.h"

#include <optional>
#include <string>
#include <vector>

// What a status bar of another program shows of a snapshot: a label per space, display by
// display. The formats of `tidemark watch` write these in their bar's terms.
namespace tidemark::cli::bars {

struct BarLabel {
    std::string spaceID;
    // The window manager's name of the space, else its number: one line of text.
    std::string text;
    bool current = false;
    bool urgent = false;
    // The names of the apps listed on it.
    std::vector<std::string> apps;
    friend bool operator==(const BarLabel&, const BarLabel&) = default;
};

struct BarDisplay {
    std::string identifier;
    std::vector<BarLabel> labels;
    friend bool operator==(const BarDisplay&, const BarDisplay&) = default;
};

// The displays of `spaces` in their order, or only the one named `output`.
std::vector<BarDisplay> barDisplays(const std::vector<Space>& spaces,
                                    const std::optional<std::string>& output = std::nullopt);

// The label of one space: the window manager's name (cut to 24 characters), else the number
// it is shown with. Line breaks and other control characters become spaces.
std::string labelText(const Space& space);

// Where the wheel goes from a display's current space: the space before it and the one after,
// none past either end.
struct ScrollSteps {
    std::optional<std::string> previous;
    std::optional<std::string> next;
    friend bool operator==(const ScrollSteps&, const ScrollSteps&) = default;
};
ScrollSteps scrollSteps(const BarDisplay& display);

} // namespace tidemark::cli::bars
