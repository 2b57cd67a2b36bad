#pragma once

#include "foundation/Value.h"

#include <nlohmann/json.hpp>

namespace tidemark {

// JSON <-> property-list values: integers stay integers, numbers with a fraction or an
// exponent become reals, {"$data": "<base64>"} is a byte string.
// Throws std::invalid_argument for a "$data" member that is not valid base64.
Value valueFromJson(const nlohmann::json& json);
nlohmann::ordered_json jsonFromValue(const Value& value);

} // namespace tidemark
