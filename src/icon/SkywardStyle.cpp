#include "icon/SkywardStyle.h"

namespace tidemark {

std::optional<SkywardStyle> skywardStyleFromRawValue(std::int64_t raw) {
    for (const auto style : kAllSkywardStyles)
        if (rawValue(style) == raw)
            return style;
    return std::nullopt;
}

std::string_view label(SkywardStyle style) {
    switch (style) {
    case SkywardStyle::none:
        return "Rectangles";
    case SkywardStyle::numbers:
        return "Numbers";
    case SkywardStyle::numbersAndRects:
        return "Rectangles with numbers";
    case SkywardStyle::openedApps:
        return "Opened apps";
    }
    return {};
}

} // namespace tidemark
