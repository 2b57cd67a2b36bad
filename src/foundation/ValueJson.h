#pragma once

#include "foundation/Value.h"

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tidemark {

// JSON text that cannot be read, and where: `member` is a path such as "spaces[2].id", or
// "(document)" when the fault is not inside a member.
class JsonError : public std::runtime_error {
public:
    JsonError(std::string member, std::string reason);
    const std::string& member() const { return member_; }
    const std::string& reason() const { return reason_; }

private:
    std::string member_;
    std::string reason_;
};

// Deeper JSON is refused, so that nothing that walks a document can exhaust the stack.
inline constexpr std::size_t kMaxJsonDepth = 512;

// Parses JSON text, refusing syntax errors, numbers out of range and nesting deeper than
// `kMaxJsonDepth`; throws JsonError.
nlohmann::json parseJson(std::string_view text);

// JSON <-> property-list values: integers stay integers, numbers with a fraction or an
// exponent become reals, {"$data": "<base64>"} is a byte string.
// Throws std::invalid_argument for a "$data" member that is not valid base64 or has other
// members beside it, and for nesting deeper than `kMaxJsonDepth`.
Value valueFromJson(const nlohmann::json& json);
nlohmann::ordered_json jsonFromValue(const Value& value);

} // namespace tidemark
