#include "main/bars/BarLabels.h"

#include "foundation/Text.h"

#include <algorithm>

namespace tidemark::cli::bars {

namespace {

constexpr std::size_t kMaxLabelCharacters = 24;

std::string oneLine(std::string text) {
    // C0 controls and DEL; the names were repaired to valid UTF-8 when they were read.
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }, ' ');
    return text;
}

} // namespace

std::string labelText(const Space& space) {
    if (!space.wmName)
        return std::to_string(shownNumber(space));
    if (text::characterCount(*space.wmName) <= kMaxLabelCharacters)
        return oneLine(*space.wmName);
    return oneLine(text::prefixCharacters(*space.wmName, kMaxLabelCharacters - 1) + "…");
}

std::vector<BarDisplay> barDisplays(const std::vector<Space>& spaces,
                                    const std::optional<std::string>& output) {
    std::vector<BarDisplay> displays;
    for (const auto& space : spaces) {
        if (output && space.displayID != *output)
            continue;
        if (displays.empty() || displays.back().identifier != space.displayID)
            displays.push_back({space.displayID, {}});
        BarLabel label{space.spaceID, labelText(space), space.isCurrentSpace, space.isUrgent, {}};
        for (const auto& app : space.appDetails)
            label.apps.push_back(oneLine(app.appName));
        displays.back().labels.push_back(std::move(label));
    }
    return displays;
}

ScrollSteps scrollSteps(const BarDisplay& display) {
    const auto& labels = display.labels;
    const auto current =
        std::find_if(labels.begin(), labels.end(), [](const BarLabel& l) { return l.current; });
    if (current == labels.end())
        return {};
    ScrollSteps steps;
    if (current != labels.begin())
        steps.previous = std::prev(current)->spaceID;
    if (std::next(current) != labels.end())
        steps.next = std::next(current)->spaceID;
    return steps;
}

} // namespace tidemark::cli::bars
