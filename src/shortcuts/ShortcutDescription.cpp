#include "shortcuts/ShortcutDescription.h"

#include "foundation/Text.h"
#include "shortcuts/SpecialKey.h"

#include <array>

namespace tidemark::KeyBindings {
namespace {

struct ModifierSymbol {
    std::int64_t bit;
    std::string_view symbol;
};

constexpr std::array<ModifierSymbol, 5> kSymbolOrder{{
    {modifier::kControl, "\u2303"},
    {modifier::kOption, "\u2325"},
    {modifier::kShift, "\u21E7"},
    {modifier::kCommand, "\u2318"},
    {modifier::kFunction, "\U0001F310\uFE0E"},
}};

constexpr std::string_view kReplacementCharacter = "\uFFFD";

} // namespace

std::string describe(const Shortcut& shortcut, KeyboardLayout& layout, std::string_view spaceText) {
    std::string result;
    for (const auto& [bit, symbol] : kSymbolOrder)
        if (shortcut.carbonModifiers & bit)
            result += symbol;
    if (const auto special = specialKeyForCode(shortcut.carbonKeyCode))
        return result + displayText(*special, spaceText);
    const auto character = layout.character(shortcut.carbonKeyCode);
    const bool single = character && text::characterCount(*character) == 1;
    return result + text::capitalized(single ? *character : kReplacementCharacter);
}

} // namespace tidemark::KeyBindings
