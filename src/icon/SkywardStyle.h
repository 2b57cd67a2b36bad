#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tidemark {

// How the strip draws each space. The raw values are what "displayStyle" stores; 3 belongs
// to no style.
enum class SkywardStyle : std::int64_t {
    none = 0,
    numbers = 1,
    numbersAndRects = 2,
    openedApps = 4,
};

inline constexpr std::array<SkywardStyle, 4> kAllSkywardStyles{
    SkywardStyle::none, SkywardStyle::numbers, SkywardStyle::numbersAndRects,
    SkywardStyle::openedApps};

constexpr std::int64_t rawValue(SkywardStyle style) {
    return static_cast<std::int64_t>(style);
}

// No style for any other integer.
std::optional<SkywardStyle> skywardStyleFromRawValue(std::int64_t raw);

// The label the preferences window shows.
std::string_view label(SkywardStyle style);

} // namespace tidemark
