#include "system/CaseFolding.h"

#include "foundation/Text.h"

#include <algorithm>

namespace tidemark {

std::string lowercased(std::string_view text) {
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii)
        return text::toLower(text);
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return lowercased(a) == lowercased(b);
}

} // namespace tidemark
