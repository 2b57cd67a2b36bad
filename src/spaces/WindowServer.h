#pragma once

#include "foundation/Value.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tidemark {

// The window server's queries. Every answer is a property-list value in the window server's
// own shape (or nothing when it cannot answer); the callers apply their own reading and
// skipping rules, so an adapter passes through what its platform says.
class WindowServer {
public:
    // Space ids (integers) of the given windows on the spaces selected by `mask`.
    using SpacesForWindows = std::function<std::optional<Value>(
        std::int32_t connection, int mask, const std::vector<std::int64_t>& windowNumbers)>;
    // Window numbers on the given spaces.
    using WindowsWithOptionsAndTags = std::function<std::optional<Value>(
        std::int32_t connection, std::int32_t owner, const std::vector<std::int64_t>& spaceIds,
        std::int32_t options, std::uint64_t& setTags, std::uint64_t& clearTags)>;

    static constexpr std::uint32_t kWindowListExcludeDesktopElements = 16;
    static constexpr int kAllSpacesMask = 7;

    virtual ~WindowServer() = default;

    virtual std::int32_t defaultConnection() = 0;
    // Array of display dictionaries, in display order.
    virtual std::optional<Value> copyManagedDisplaySpaces(std::int32_t connection) = 0;
    // Array of window dictionaries, front to back.
    virtual std::optional<Value> copyWindowInfo(std::uint32_t options,
                                                std::uint32_t relativeToWindow) = 0;
    // The two optional functions are looked up by name; either may be missing.
    virtual std::optional<SpacesForWindows> lookupSpacesForWindows() = 0;
    virtual std::optional<WindowsWithOptionsAndTags> lookupWindowsWithOptionsAndTags() = 0;
};

} // namespace tidemark
