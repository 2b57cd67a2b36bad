#include "shortcuts/ShortcutDescription.h"

#include "foundation/Text.h"
#include "shortcuts/SpecialKey.h"

#include <array>

namespace tidemark::KeyBindings {
namespace {

struct ModifierText {
    std::int64_t bit;
    std::string_view symbol;
    std::string_view word;
};

constexpr std::array<ModifierText, 5> kModifierOrder{{
    {modifier::kControl, "\u2303", "Ctrl"},
    {modifier::kOption, "\u2325", "Alt"},
    {modifier::kShift, "\u21E7", "Shift"},
    {modifier::kCommand, "\u2318", "Super"},
    {modifier::kFunction, "\U0001F310\uFE0E", "Fn"},
}};

constexpr std::string_view kReplacementCharacter = "\uFFFD";

std::string keyWithoutCharacter(std::int64_t keyCode, DescriptionStyle style) {
    if (style == DescriptionStyle::Words)
        for (const auto& named : namedKeys())
            if (named.key.rawValue == keyCode)
                return text::capitalized(named.word);
    return std::string(kReplacementCharacter);
}

std::string keyText(std::int64_t keyCode, KeyboardLayout& layout, DescriptionStyle style,
                    std::string_view spaceText) {
    if (const auto special = specialKeyForCode(keyCode))
        return style == DescriptionStyle::Words ? keyName(*special, spaceText)
                                                : displayText(*special, spaceText);
    const auto character = layout.character(keyCode);
    if (!character || text::characterCount(*character) != 1)
        return keyWithoutCharacter(keyCode, style);
    auto capital = text::capitalized(*character);
    // A key cap shows one character: "ß" stays, where symbols write "Ss".
    if (style == DescriptionStyle::Words && text::characterCount(capital) != 1)
        return *character;
    return capital;
}

} // namespace

std::string describe(const Shortcut& shortcut, KeyboardLayout& layout, DescriptionStyle style,
                     std::string_view spaceText) {
    const bool words = style == DescriptionStyle::Words;
    std::string result;
    for (const auto& [bit, symbol, word] : kModifierOrder)
        if (shortcut.carbonModifiers & bit)
            result += words ? std::string(word) + "+" : std::string(symbol);
    return result + keyText(shortcut.carbonKeyCode, layout, style, spaceText);
}

} // namespace tidemark::KeyBindings
