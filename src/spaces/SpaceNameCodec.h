#pragma once

#include "foundation/Value.h"
#include "spaces/Space.h"

#include <optional>

namespace tidemark {

// The stored form of the space names: a binary property list of one dictionary from space
// identifier to {"spaceNum": integer, "spaceName": string}.
std::optional<ByteString> encodeSpaceNames(const SpaceNameMap& names);
// Nothing unless every record holds both keys with the right types.
std::optional<SpaceNameMap> decodeSpaceNames(const ByteString& bytes);

} // namespace tidemark
