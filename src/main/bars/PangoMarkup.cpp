#include "main/bars/PangoMarkup.h"

#include "main/bars/BarColors.h"

namespace tidemark::cli::bars {

std::string pangoEscaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string pangoLabel(const BarLabel& label) {
    std::string markup = " " + pangoEscaped(label.text) + " ";
    if (label.current)
        markup = "<span weight=\"bold\" underline=\"single\">" + markup + "</span>";
    if (label.urgent)
        markup = std::string("<span foreground=\"") + kUrgentForeground + "\" background=\"" +
                 kUrgentBackground + "\">" + markup + "</span>";
    return markup;
}

std::string pangoLabels(const std::vector<BarDisplay>& displays) {
    std::string markup;
    for (std::size_t i = 0; i < displays.size(); ++i) {
        if (i)
            markup += "|";
        for (const auto& label : displays[i].labels)
            markup += pangoLabel(label);
    }
    return markup;
}

} // namespace tidemark::cli::bars
