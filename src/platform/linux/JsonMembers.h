#pragma once

#include "foundation/Text.h"
#include "platform/linux/DesktopLimits.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>

// Members of a window manager's JSON answers, read defensively: a member of the wrong type is
// absent, text is bounded and repaired.
namespace tidemark::linux_platform::json_members {

inline const nlohmann::json* member(const nlohmann::json& object, const char* key) {
    if (!object.is_object())
        return nullptr;
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

inline std::optional<std::int64_t> integer(const nlohmann::json& object, const char* key) {
    const auto* value = member(object, key);
    if (!value || !value->is_number_integer())
        return std::nullopt;
    return value->get<std::int64_t>();
}

inline std::optional<std::string> string(const nlohmann::json& object, const char* key,
                                         std::size_t maxBytes = desktop::kMaxNameBytes) {
    const auto* value = member(object, key);
    if (!value || !value->is_string())
        return std::nullopt;
    return text::boundedUtf8(value->get_ref<const std::string&>(), maxBytes);
}

// False unless the member is `true`.
inline bool flag(const nlohmann::json& object, const char* key) {
    const auto* value = member(object, key);
    return value && value->is_boolean() && value->get<bool>();
}

// The first `kMaxDesktopItems` elements of an array, or none of anything else; `truncated`
// is set when there were more.
inline std::span<const nlohmann::json> cappedItems(const nlohmann::json& list, bool& truncated) {
    if (!list.is_array())
        return {};
    const auto& items = list.get_ref<const nlohmann::json::array_t&>();
    truncated = truncated || items.size() > desktop::kMaxDesktopItems;
    return std::span(items).first(std::min(items.size(), desktop::kMaxDesktopItems));
}

} // namespace tidemark::linux_platform::json_members
