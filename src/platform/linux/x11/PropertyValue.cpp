#include "platform/linux/x11/PropertyValue.h"

#include "foundation/Text.h"

#include <cstring>

namespace tidemark::linux_platform {

PropertyValue propertyValue(const xcb_get_property_reply_t* reply) {
    if (!reply)
        return {};
    const auto* bytes = static_cast<const char*>(
        xcb_get_property_value(const_cast<xcb_get_property_reply_t*>(reply)));
    const auto length = static_cast<std::size_t>(
        xcb_get_property_value_length(const_cast<xcb_get_property_reply_t*>(reply)));
    return {reply->type, reply->format, std::string_view(bytes, length)};
}

std::vector<std::uint32_t> propertyWords(const PropertyValue& value, xcb_atom_t type) {
    if (value.type != type || value.format != 32 || value.bytes.size() < 4)
        return {};
    std::vector<std::uint32_t> words(value.bytes.size() / 4);
    std::memcpy(words.data(), value.bytes.data(), words.size() * 4);
    return words;
}

std::optional<std::uint32_t> firstPropertyWord(const PropertyValue& value, xcb_atom_t type) {
    if (value.type != type || value.format != 32 || value.bytes.size() < 4)
        return std::nullopt;
    std::uint32_t word = 0;
    std::memcpy(&word, value.bytes.data(), 4);
    return word;
}

std::optional<std::string> propertyText(const PropertyValue& value, std::size_t maxBytes) {
    if (value.format != 8)
        return std::nullopt;
    return text::boundedUtf8(value.bytes.substr(0, value.bytes.find('\0')), maxBytes);
}

bool wmHintsUrgent(const PropertyValue& value) {
    constexpr std::uint32_t kUrgencyHint = 1u << 8;
    const auto flags = firstPropertyWord(value, XCB_ATOM_WM_HINTS);
    return flags && (*flags & kUrgencyHint);
}

std::optional<std::int32_t> claimedPid(const PropertyValue& value) {
    const auto claimed = firstPropertyWord(value, XCB_ATOM_CARDINAL);
    if (!claimed || *claimed == 0 || *claimed > 0x7fffffffu)
        return std::nullopt;
    return static_cast<std::int32_t>(*claimed);
}

} // namespace tidemark::linux_platform
