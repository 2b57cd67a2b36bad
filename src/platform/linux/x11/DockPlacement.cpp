#include "platform/linux/x11/DockPlacement.h"

#include "platform/linux/JsonMembers.h"
#include "platform/linux/x11/DesktopModel.h"

#include <algorithm>
#include <cmath>

namespace tidemark::linux_platform {

std::vector<OutputGeometry> i3OutputGeometry(const nlohmann::json& outputs) {
    std::vector<OutputGeometry> result;
    if (!outputs.is_array())
        return result;
    std::size_t read = 0;
    for (const auto& output : outputs) {
        if (++read > desktop::kMaxDesktopItems)
            break;
        // Read as i3 writes them: any other type is "no", never an exception.
        if (!output.is_object() || !json_members::flag(output, "active"))
            continue;
        const auto rect = output.find("rect");
        const auto name = output.find("name");
        if (rect == output.end() || !rect->is_object() || name == output.end() ||
            !name->is_string())
            continue;
        const auto number = [&](const char* key) -> std::optional<double> {
            const auto it = rect->find(key);
            if (it == rect->end() || !it->is_number())
                return std::nullopt;
            return it->get<double>();
        };
        const auto x = number("x"), y = number("y"), w = number("width"), h = number("height");
        if (!x || !y || !w || !h || *w <= 0 || *h <= 0)
            continue;
        result.push_back({name->get<std::string>(), Rect{*x, *y, *w, *h},
                          json_members::flag(output, "primary")});
    }
    return result;
}

DockPlacement placeDock(const std::vector<OutputGeometry>& outputs, Rect screen, double width,
                        double height, bool spansOutput) {
    Rect output = screen;
    if (!outputs.empty()) {
        const auto primary = std::find_if(outputs.begin(), outputs.end(),
                                          [](const OutputGeometry& o) { return o.primary; });
        output = (primary != outputs.end() ? *primary : outputs.front()).rect;
    }
    if (spansOutput)
        return {output, Rect{output.minX(), output.minY(), output.width(), height}, std::nullopt};
    const double w = std::min(width, output.width());
    const Rect window{output.maxX() - w, output.minY(), w, height};
    const TopStrut strut{std::lround(window.maxY()), std::lround(window.minX()),
                         std::lround(window.maxX()) - 1};
    return {output, window, strut};
}

Point placeMenu(Rect output, Point origin, Size size) {
    const auto within = [](double wanted, double low, double high, double extent) {
        return std::max(low, std::min(wanted, high - extent));
    };
    return Point{within(origin.x, output.minX(), output.maxX(), size.width),
                 within(origin.y, output.minY(), output.maxY(), size.height)};
}

} // namespace tidemark::linux_platform
