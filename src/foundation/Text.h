#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Unicode text helpers over UTF-8 strings. Invalid UTF-8 input is repaired (U+FFFD) first.
namespace tidemark::text {

// Full case mapping, locale independent ("ß" becomes "SS").
std::string toUpper(std::string_view utf8);
std::string toLower(std::string_view utf8);

// The first `count` user-perceived characters (extended grapheme clusters).
std::string prefixCharacters(std::string_view utf8, std::size_t count);

// Number of user-perceived characters.
std::size_t characterCount(std::string_view utf8);

// First letter of each word upper-cased, the rest lower-cased (title case).
std::string capitalized(std::string_view utf8);

// Replaces every ill-formed UTF-8 sequence with U+FFFD.
std::string repairUtf8(std::string_view bytes);

// Repairs, then cuts to at most `maxBytes` bytes without splitting a character.
std::string boundedUtf8(std::string_view bytes, std::size_t maxBytes);

// `boundedUtf8`, without the bidirectional embedding, override and isolate controls (U+202A
// to U+202E, U+2066 to U+2069), for a name another program chose that is shown to the user:
// an override would show the name reversed and could turn the text after it around.
std::string boundedName(std::string_view bytes, std::size_t maxBytes);

// The text as one printable line, for messages that echo input: control characters (line
// breaks, ESC, BEL, DEL and the C1 controls) become escapes such as "\n" or "\x1b";
// ill-formed UTF-8 is repaired first.
std::string printable(std::string_view text);

} // namespace tidemark::text
