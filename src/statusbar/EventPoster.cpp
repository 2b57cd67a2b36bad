#include "statusbar/EventPoster.h"

namespace tidemark {

std::optional<std::int64_t> RecordedEvent::integerField(int field) const {
    for (auto it = fields_.rbegin(); it != fields_.rend(); ++it)
        if (it->number == field)
            if (const auto* value = std::get_if<std::int64_t>(&it->value))
                return *value;
    return std::nullopt;
}

std::optional<double> RecordedEvent::doubleField(int field) const {
    for (auto it = fields_.rbegin(); it != fields_.rend(); ++it)
        if (it->number == field)
            if (const auto* value = std::get_if<double>(&it->value))
                return *value;
    return std::nullopt;
}

} // namespace tidemark
