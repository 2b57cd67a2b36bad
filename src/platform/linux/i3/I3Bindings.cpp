#include "platform/linux/i3/I3Bindings.h"

#include "platform/linux/keys/XKeyTable.h"
#include "shortcuts/RecorderRules.h"
#include "shortcuts/Shortcut.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <sstream>

namespace tidemark::linux_platform::i3 {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos)
        return {};
    const auto end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

std::vector<std::string> words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> result;
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

// Variables may name each other, so a few lines of `set` can double a line twenty times
// over: past this the line is dropped rather than built.
constexpr std::size_t kMaxExpandedLineBytes = 64 * 1024;

std::optional<std::string> expanded(std::string_view line,
                                    const std::map<std::string, std::string>& variables) {
    if (line.size() > kMaxExpandedLineBytes)
        return std::nullopt;
    // Longest names first, so that $mod does not eat the start of $mode.
    std::vector<std::pair<std::string, std::string>> ordered(variables.begin(), variables.end());
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    std::string text(line);
    for (const auto& [name, value] : ordered) {
        auto at = text.find(name);
        if (at == std::string::npos)
            continue;
        // Rebuilt in one pass: replacing in place would move the rest of the line each time.
        std::string result;
        std::size_t from = 0;
        for (; at != std::string::npos; at = text.find(name, from)) {
            result.append(text, from, at - from).append(value);
            from = at + name.size();
            if (result.size() > kMaxExpandedLineBytes)
                return std::nullopt;
        }
        result.append(text, from);
        if (result.size() > kMaxExpandedLineBytes)
            return std::nullopt;
        text = std::move(result);
    }
    return text;
}

std::vector<std::string> split(const std::string& combo) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (auto plus = combo.find('+'); plus != std::string::npos; plus = combo.find('+', start)) {
        parts.push_back(combo.substr(start, plus - start));
        start = plus + 1;
    }
    parts.push_back(combo.substr(start));
    return parts;
}

} // namespace

std::vector<KeyBinding> parseKeyBindings(std::string_view config) {
    std::vector<KeyBinding> bindings;
    std::map<std::string, std::string> variables;
    int depth = 0;
    std::size_t start = 0;
    while (start <= config.size()) {
        const auto newline = config.find('\n', start);
        const auto line = trimmed(
            config.substr(start, newline == std::string_view::npos ? newline : newline - start));
        start = newline == std::string_view::npos ? config.size() + 1 : newline + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.back() == '{') {
            ++depth;
            continue;
        }
        if (line.front() == '}') {
            depth = std::max(0, depth - 1);
            continue;
        }
        auto parts = words(line);
        if (parts.size() >= 3 && parts[0] == "set" && parts[1].starts_with("$")) {
            const auto value = line.substr(line.find(parts[1]) + parts[1].size());
            variables[parts[1]] = std::string(trimmed(value));
            continue;
        }
        if (depth > 0 || parts.empty() || (parts[0] != "bindsym" && parts[0] != "bindcode"))
            continue;
        const auto text = expanded(line, variables);
        if (!text)
            continue;
        parts = words(*text);
        const auto combo = std::find_if(parts.begin() + 1, parts.end(),
                                        [](const std::string& w) { return !w.starts_with("--"); });
        if (combo == parts.end())
            continue;
        auto keys = split(*combo);
        KeyBinding binding{{}, keys.back(), parts[0] == "bindcode"};
        keys.pop_back();
        binding.modifiers = std::move(keys);
        bindings.push_back(std::move(binding));
    }
    return bindings;
}

Value symbolicHotKeys(
    const std::vector<KeyBinding>& bindings,
    const std::function<std::optional<std::uint8_t>(const std::string&)>& xKeyCodeForKeysym) {
    static const std::map<std::string, std::int64_t> kModifiers{
        {"shift", KeyBindings::modifier::kShift},
        {"control", KeyBindings::modifier::kControl},
        {"ctrl", KeyBindings::modifier::kControl},
        {"mod1", KeyBindings::modifier::kOption},
        {"mod4", KeyBindings::modifier::kCommand},
        {"lock", 0},
        {"mod2", 0},
    };
    ValueArray entries;
    for (const auto& binding : bindings) {
        std::int64_t modifiers = 0;
        bool usable = true;
        for (const auto& word : binding.modifiers) {
            std::string lower(word);
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
            const auto it = kModifiers.find(lower);
            usable = usable && it != kModifiers.end();
            if (it != kModifiers.end())
                modifiers |= it->second;
        }
        std::optional<std::uint8_t> xKey;
        if (binding.byCode) {
            unsigned code = 0;
            const auto* end = binding.key.data() + binding.key.size();
            if (std::from_chars(binding.key.data(), end, code).ptr == end && code <= 255)
                xKey = std::uint8_t(code);
        } else {
            xKey = xKeyCodeForKeysym(binding.key);
        }
        const auto virtualKey = xKey ? xkeys::virtualKeyCode(*xKey) : std::nullopt;
        if (!usable || !virtualKey)
            continue;
        entries.push_back(
            ValueDictionary{{KeyBindings::kSymbolicHotKeyEnabled, Value(true)},
                            {KeyBindings::kSymbolicHotKeyCode, Value(*virtualKey)},
                            {KeyBindings::kSymbolicHotKeyModifiers, Value(modifiers)}});
    }
    return Value(std::move(entries));
}

} // namespace tidemark::linux_platform::i3
