#include "main/bars/WaybarFormat.h"

#include "main/bars/PangoMarkup.h"

#include <nlohmann/json.hpp>

namespace tidemark::cli::bars {

std::string waybarLine(const std::vector<BarDisplay>& displays) {
    std::string alt;
    std::string tooltip;
    bool urgent = false;
    for (const auto& display : displays) {
        for (const auto& label : display.labels) {
            if (label.current && alt.empty())
                alt = label.text;
            urgent = urgent || label.urgent;
            std::string apps;
            for (const auto& app : label.apps)
                apps += (apps.empty() ? "" : ", ") + app;
            const auto name = pangoEscaped(label.text);
            tooltip += (tooltip.empty() ? "" : "\n") +
                       (label.current ? "<b>" + name + "</b>" : name) + ": " +
                       (apps.empty() ? std::string("no apps") : pangoEscaped(apps));
        }
    }
    return nlohmann::ordered_json{{"text", pangoLabels(displays)},
                                  {"alt", alt},
                                  {"tooltip", tooltip},
                                  {"class", urgent ? "urgent" : ""}}
        .dump();
}

} // namespace tidemark::cli::bars
