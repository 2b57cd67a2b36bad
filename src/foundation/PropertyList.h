#pragma once

#include "foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

// Property-list encoding of values, binary and XML. Null values have no property-list form:
// encoding a value that contains one fails.
namespace tidemark::plist {

std::optional<ByteString> encodeBinary(const Value& value);
std::optional<std::string> encodeXml(const Value& value);
// Either form; nothing when the bytes are not a property list.
std::optional<Value> decode(std::string_view bytes);
inline std::optional<Value> decode(const ByteString& bytes) {
    return decode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace tidemark::plist
