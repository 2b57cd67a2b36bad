#include "main/bars/PolybarFormat.h"

#include "main/bars/BarColors.h"

namespace tidemark::cli::bars {

namespace {

std::string action(char button, std::string_view switchCommand, const std::string& spaceID) {
    return std::string("%{A") + button + ":" +
           polybarActionEscaped(std::string(switchCommand) + " " + spaceID) + ":}";
}

std::string styledLabel(const BarLabel& label) {
    const auto text = " " + polybarTextEscaped(label.text) + " ";
    if (label.urgent)
        return std::string("%{F") + kUrgentForeground + "}%{B" + kUrgentBackground + "}" + text +
               "%{B-}%{F-}";
    if (label.current)
        return "%{R}" + text + "%{R}";
    return text;
}

} // namespace

std::string polybarActionEscaped(std::string_view command) {
    std::string escaped;
    for (const char c : command) {
        if (c == ':')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string polybarTextEscaped(std::string_view text) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        escaped += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '{')
            escaped += ' ';
    }
    return escaped;
}

std::string polybarLine(const std::vector<BarDisplay>& displays, std::string_view switchCommand) {
    std::string line;
    for (std::size_t i = 0; i < displays.size(); ++i) {
        if (i)
            line += "|";
        const auto steps = scrollSteps(displays[i]);
        int opened = 0;
        for (const auto& [button, target] : {std::pair{'4', steps.previous}, {'5', steps.next}})
            if (target) {
                line += action(button, switchCommand, *target);
                ++opened;
            }
        for (const auto& label : displays[i].labels)
            line += action('1', switchCommand, label.spaceID) + styledLabel(label) + "%{A}";
        for (; opened > 0; --opened)
            line += "%{A}";
    }
    return line;
}

} // namespace tidemark::cli::bars
