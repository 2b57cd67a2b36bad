#pragma once

#include "spaces/WindowServer.h"

#include <cstdint>
#include <unordered_set>

namespace tidemark {

// The processes that own at least one real window of the list: on the integer layer 0,
// visible, not tiny, and on some space (or on screen, where the platform cannot tell spaces).
// No list, no owners.
std::unordered_set<std::int32_t> windowOwnerPIDs(const WindowList* windows);

} // namespace tidemark
