#include "shortcuts/Shortcut.h"

#include <array>
#include <limits>

namespace tidemark::KeyBindings {

const std::vector<NamedKey>& namedKeys() {
#define TIDEMARK_LIST_KEY(identifier, code, word) NamedKey{word, key::identifier},
    static const std::vector<NamedKey> table{TIDEMARK_NAMED_KEYS(TIDEMARK_LIST_KEY)};
#undef TIDEMARK_LIST_KEY
    return table;
}

bool Shortcut::fitsHotKeyService() const {
    constexpr auto kMax = std::int64_t{std::numeric_limits<std::uint32_t>::max()};
    return carbonKeyCode >= 0 && carbonKeyCode <= kMax && carbonModifiers >= 0 &&
           carbonModifiers <= kMax;
}

namespace {

struct ModifierBits {
    std::int64_t carbon;
    std::uint64_t eventFlag;
};

constexpr std::array<ModifierBits, 5> kModifierBits{{
    {modifier::kCommand, event_flag::kCommand},
    {modifier::kShift, event_flag::kShift},
    {modifier::kOption, event_flag::kOption},
    {modifier::kControl, event_flag::kControl},
    {modifier::kFunction, event_flag::kFunction},
}};

} // namespace

std::uint64_t eventFlagsFromCarbon(std::int64_t carbonModifiers) {
    std::uint64_t flags = 0;
    for (const auto& bits : kModifierBits)
        if (carbonModifiers & bits.carbon)
            flags |= bits.eventFlag;
    return flags;
}

std::int64_t carbonFromEventFlags(std::uint64_t eventFlags) {
    std::int64_t carbon = 0;
    for (const auto& bits : kModifierBits)
        if (eventFlags & bits.eventFlag)
            carbon |= bits.carbon;
    return carbon;
}

} // namespace tidemark::KeyBindings
