#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where things sit in the text of an XML property list, found without building it: how
// deep its elements nest, and the byte ranges of the entries of a top-level dictionary. It
// lets a writer change one entry and leave every other byte as it was.
namespace tidemark::plist::xml {

// The deepest nesting of elements, counting the root; nothing when the tags do not balance
// or a dictionary's keys and values do not pair up (a parser would drop the odd key).
std::optional<std::size_t> nestingDepth(std::string_view text);

struct DictionaryEntry {
    std::string key;       // decoded text of the <key> element
    std::size_t begin = 0; // start of the line holding <key> when only blanks precede it
    std::size_t end = 0;   // just past the value element
};

struct DictionaryLayout {
    std::vector<DictionaryEntry> entries; // in text order
    // Where a new entry goes: the start of the line holding </dict> (or the <dict/> tag).
    std::size_t insertAt = 0;
    // Set when the dictionary is written <dict/>: the length of that tag at `insertAt`.
    std::size_t emptyTagLength = 0;
};

// The layout of the root dictionary; nothing when the root is no dictionary or the text is
// not laid out as plain elements.
std::optional<DictionaryLayout> rootDictionaryLayout(std::string_view text);

} // namespace tidemark::plist::xml
