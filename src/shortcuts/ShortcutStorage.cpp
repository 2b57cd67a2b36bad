#include "shortcuts/ShortcutStorage.h"

#include <nlohmann/json.hpp>

namespace tidemark::KeyBindings {
namespace {

constexpr const char* kKeyCodeMember = "carbonKeyCode";
constexpr const char* kModifiersMember = "carbonModifiers";

std::optional<std::int64_t> integerMember(const nlohmann::json& object, const char* member) {
    const auto it = object.find(member);
    if (it == object.end() || !it->is_number_integer())
        return std::nullopt;
    if (it->is_number_unsigned() &&
        it->get<std::uint64_t>() > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return it->get<std::int64_t>();
}

} // namespace

std::string settingsKey(const Name& name) {
    return std::string(kSettingsKeyPrefix) + name.rawValue;
}

std::optional<std::string> nameOfSettingsKey(std::string_view key) {
    if (!key.starts_with(kSettingsKeyPrefix))
        return std::nullopt;
    return std::string(key.substr(kSettingsKeyPrefix.size()));
}

std::string encodeShortcut(const Shortcut& shortcut) {
    return std::string("{\"") + kKeyCodeMember + "\":" + std::to_string(shortcut.carbonKeyCode) +
           ",\"" + kModifiersMember + "\":" + std::to_string(shortcut.carbonModifiers) + "}";
}

std::optional<Shortcut> decodeShortcutEntry(const std::optional<Value>& entry) {
    const std::string* text = entry ? entry->asString() : nullptr;
    if (!text)
        return std::nullopt;
    const auto json = nlohmann::json::parse(*text, nullptr, /*allow_exceptions=*/false);
    if (!json.is_object() || json.size() != 2)
        return std::nullopt;
    const auto keyCode = integerMember(json, kKeyCodeMember);
    const auto modifiers = integerMember(json, kModifiersMember);
    if (!keyCode || !modifiers)
        return std::nullopt;
    const Shortcut shortcut{*keyCode, *modifiers};
    if (!shortcut.fitsHotKeyService())
        return std::nullopt;
    return shortcut;
}

} // namespace tidemark::KeyBindings
