#include "shortcuts/ShortcutCombo.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace tidemark::KeyBindings {
namespace {

struct ModifierWord {
    std::string_view word;
    std::uint64_t flag;
};

constexpr std::array<ModifierWord, 11> kModifierWords{{
    {"ctrl", event_flag::kControl},
    {"control", event_flag::kControl},
    {"alt", event_flag::kOption},
    {"option", event_flag::kOption},
    {"shift", event_flag::kShift},
    {"super", event_flag::kCommand},
    {"cmd", event_flag::kCommand},
    {"command", event_flag::kCommand},
    {"fn", event_flag::kFunction},
    {"function", event_flag::kFunction},
    {"opt", event_flag::kOption},
}};

struct KeyAlias {
    std::string_view word;
    std::string_view canonical;
};

constexpr std::array<KeyAlias, 26> kKeyAliases{{
    {"enter", "return"},
    {"ins", "insert"},
    {"numlock", "keypadclear"},
    {"esc", "escape"},
    {"bksp", "backspace"},
    {"del", "delete"},
    {"prior", "pageup"},
    {"next", "pagedown"},
    {"pgup", "pageup"},
    {"pgdn", "pagedown"},
    {"apostrophe", "quote"},
    {"backquote", "grave"},
    {"backtick", "grave"},
    {"bracketleft", "leftbracket"},
    {"bracketright", "rightbracket"},
    {"-", "minus"},
    {"=", "equal"},
    {",", "comma"},
    {".", "period"},
    {"/", "slash"},
    {";", "semicolon"},
    {"'", "quote"},
    {"`", "grave"},
    {"[", "leftbracket"},
    {"]", "rightbracket"},
    {"\\", "backslash"},
}};

// Lower case without spaces: "Page Up" is "pageup", "Keypad 7" is "keypad7".
std::string lowered(std::string_view word) {
    std::string result;
    for (const unsigned char c : word)
        if (c != ' ')
            result += char(std::tolower(c));
    return result;
}

std::optional<std::uint64_t> modifierFlag(std::string_view word) {
    const auto lower = lowered(word);
    for (const auto& entry : kModifierWords)
        if (entry.word == lower)
            return entry.flag;
    return std::nullopt;
}

std::optional<Key> keyForWord(std::string_view word) {
    std::string lower = lowered(word);
    for (const auto& alias : kKeyAliases)
        if (alias.word == lower)
            lower = alias.canonical;
    for (const auto& named : namedKeys())
        if (named.word == lower)
            return named.key;
    return std::nullopt;
}

std::vector<std::string_view> splitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (true) {
        const auto plus = text.find('+', start);
        words.push_back(text.substr(start, plus == std::string_view::npos ? plus : plus - start));
        if (plus == std::string_view::npos)
            return words;
        start = plus + 1;
    }
}

ParsedCombo failure(std::string message) {
    return {std::nullopt, std::move(message)};
}

std::string quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

} // namespace

ParsedCombo parseCombo(std::string_view text) {
    const auto words = splitWords(text);
    std::uint64_t flags = 0;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        const auto word = words[i];
        if (lowered(word).empty())
            return failure("empty word in " + quoted(text));
        if (const auto flag = modifierFlag(word)) {
            if (*flag == event_flag::kFunction)
                return failure(quoted(text) + " holds fn, which the keyboard keeps to itself: "
                                              "a combination with fn cannot be a shortcut");
            flags |= *flag;
            continue;
        }
        if (keyForWord(word))
            return failure(quoted(word) + " is a key, not a modifier: a combination has one key, "
                                          "written last");
        return failure("unknown modifier " + quoted(word) +
                       " (modifiers are ctrl, alt, shift and super)");
    }
    const auto last = words.back();
    if (lowered(last).empty())
        return failure(quoted(text) + " names no key");
    if (modifierFlag(last))
        return failure(quoted(text) + " names no key: " + quoted(last) + " is a modifier");
    const auto key = keyForWord(last);
    if (!key)
        return failure("unknown key " + quoted(last) + " in " + quoted(text));
    return {CapturedEvent{CapturedEvent::Type::KeyDown, key->rawValue, flags}, {}};
}

} // namespace tidemark::KeyBindings
