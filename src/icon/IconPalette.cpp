#include "icon/IconPalette.h"

#include <array>

namespace tidemark {

const IconPalette& iconPalette(bool dark) {
    // The full-screen fill is specified in a calibrated RGB space; it is used as sRGB here,
    // which differs by less than the eye notices at half opacity. The urgent reds stand at
    // about 7:1 against a black bar and 5:1 against a white one.
    static const IconPalette darkPalette{
        {0.55, 0.88, 0.55, 0.5},        Color::white().withAlpha(0.8),
        Color::white().withAlpha(0.25), Color::white().withAlpha(0.8),
        {0.2, 0.6, 0.2, 0.5},           Color::white().withAlpha(0.6),
        {1.0, 0.4, 0.32, 1.0}};
    static const IconPalette lightPalette{
        {0.25, 0.7, 0.25, 0.5},         Color::black().withAlpha(0.8),
        Color::black().withAlpha(0.25), Color::black().withAlpha(0.8),
        {0.1, 0.5, 0.1, 0.5},           Color::black().withAlpha(0.6),
        {0.85, 0.15, 0.1, 1.0}};
    return dark ? darkPalette : lightPalette;
}

std::string numberString(std::int64_t number) {
    static const auto cache = [] {
        std::array<std::string, 64> strings;
        for (std::size_t i = 0; i < strings.size(); ++i)
            strings[i] = std::to_string(i + 1);
        return strings;
    }();
    if (number >= 1 && number <= 64)
        return cache[static_cast<std::size_t>(number - 1)];
    return std::to_string(number);
}

} // namespace tidemark
