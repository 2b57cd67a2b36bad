#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The object graph of a binary property list ("bplist00"), checked before a parser builds
// it. libplist follows object references recursively and copies an object at every place it
// is referenced: deep nesting exhausts its stack, and a few hundred bytes of references that
// share objects ask it for millions of nodes.
namespace tidemark::plist::binary {

// Values a document may hold once each shared object is counted at every place it is used:
// far beyond any settings file, and parsed in a tenth of a second.
inline constexpr std::size_t kMaxExpandedValues = std::size_t{1} << 16;

// What makes the structure of a binary property list unsound, for a person to read: a
// trailer, offset table or object reference that points outside the document, an object
// that contains itself, containers nested deeper than `maxDepth` (the root counts as 1) or
// more than `kMaxExpandedValues` values. Nothing when it is sound; the contents of strings,
// numbers and data are left to the parser.
std::optional<std::string> structuralFault(std::string_view bytes, std::size_t maxDepth);

} // namespace tidemark::plist::binary
