#pragma once

#include <string>
#include <string_view>

namespace tidemark {

// Lower-cased text, Unicode-aware; ASCII text (nearly every process name) takes a fast path.
std::string lowercased(std::string_view text);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace tidemark
