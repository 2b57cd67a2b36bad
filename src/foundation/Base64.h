#pragma once

#include "foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace tidemark::base64 {

std::string encode(const ByteString& bytes);
// Nothing when the text is not valid base64 (whitespace is ignored).
std::optional<ByteString> decode(std::string_view text);

} // namespace tidemark::base64
