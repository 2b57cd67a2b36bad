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
// What in `value` has no property-list form (a null, text holding a NUL, nesting deeper
// than `kMaxDepth`) and where, for a person to read; nothing when it can be encoded.
std::optional<std::string> unencodablePart(const Value& value);

// Containers nested deeper than this make a document unreadable.
inline constexpr std::size_t kMaxDepth = 512;

// A decoded document, or why it could not be read (for a person to read).
struct Decoded {
    std::optional<Value> value;
    std::string fault; // empty when `value` is set
};

// Either form; a fault when the bytes are not a property list, their structure is unsound
// (references outside the document, an object inside itself, nesting deeper than
// `kMaxDepth`) or they hold a kind of node that has no value form.
Decoded decodeExplained(std::string_view bytes);
inline std::optional<Value> decode(std::string_view bytes) {
    return decodeExplained(bytes).value;
}
inline std::optional<Value> decode(const ByteString& bytes) {
    return decode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// `document`, a dictionary property list, with its top-level `key` set to `value`, or
// removed when `value` is null. Every other entry stays as written, including values this
// program has no form for: XML keeps its bytes, a binary list its parsed nodes. An empty
// document makes a new XML one. Nothing when `document` is not a dictionary property list or
// `value` has no property-list form.
std::optional<std::string> withKey(std::string_view document, std::string_view key,
                                   const Value* value);

} // namespace tidemark::plist
