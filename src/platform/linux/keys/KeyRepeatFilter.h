#pragma once

#include <cstdint>
#include <set>
#include <vector>

namespace tidemark::linux_platform {

// One key going down or up, as X reports it.
struct KeyTransition {
    std::uint8_t keyCode = 0;
    bool pressed = false;
    std::uint32_t time = 0;
    std::uint16_t state = 0;
    friend bool operator==(const KeyTransition&, const KeyTransition&) = default;
};

// Keeps the real presses and releases of a held key and drops auto-repeat: with detectable
// auto-repeat the server sends more presses without releases; without it, a release and a
// press with the same time stamp. A release of a key not seen going down is dropped too.
class KeyRepeatFilter {
public:
    // The meaningful transitions of a batch read at once, in order.
    std::vector<KeyTransition> filter(const std::vector<KeyTransition>& batch);

private:
    std::set<std::uint8_t> down_;
};

} // namespace tidemark::linux_platform
