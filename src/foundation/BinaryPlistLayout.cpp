#include "foundation/BinaryPlistLayout.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace tidemark::plist::binary {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTrailerSize = 32;
// Markers whose low nibble counts elements, the whole byte 0x?F meaning that an integer
// object with the count follows.
constexpr std::uint8_t kArray = 0xA;
constexpr std::uint8_t kOrderedSet = 0xB;
constexpr std::uint8_t kSet = 0xC;
constexpr std::uint8_t kDictionary = 0xD;
constexpr std::uint8_t kInteger = 0x1;
constexpr std::uint8_t kCountFollows = 0xF;

std::uint64_t bigEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

std::string objectText(std::uint64_t index) {
    return "object " + std::to_string(index);
}

// The references of a container object: `count` of them, `refSize` bytes each, from `at`.
struct References {
    std::size_t at = 0;
    std::uint64_t count = 0;
};

struct Document {
    std::string_view bytes;
    std::size_t offsetSize = 0;
    std::size_t refSize = 0;
    std::uint64_t objectCount = 0;
    std::uint64_t root = 0;
    std::size_t tableAt = 0;
    std::size_t objectsEnd = 0; // objects lie in [kHeaderSize, objectsEnd)

    std::size_t offsetOf(std::uint64_t index) const {
        return bigEndian(bytes, tableAt + index * offsetSize, offsetSize);
    }
    std::uint64_t reference(const References& refs, std::uint64_t i) const {
        return bigEndian(bytes, refs.at + i * refSize, refSize);
    }

    // Nothing in `refs` (count 0) for an object that holds no references; the fault when a
    // container's count or references do not fit before the trailer.
    std::optional<std::string> references(std::uint64_t index, References& refs) const {
        refs = {};
        std::size_t at = offsetOf(index);
        const std::uint8_t marker = static_cast<std::uint8_t>(bytes[at]);
        const std::uint8_t type = marker >> 4;
        if (type != kArray && type != kOrderedSet && type != kSet && type != kDictionary)
            return std::nullopt;
        std::uint64_t count = marker & 0x0F;
        ++at;
        if (count == kCountFollows) {
            const std::uint8_t countMarker =
                at < objectsEnd ? static_cast<std::uint8_t>(bytes[at]) : 0;
            const std::size_t width = std::size_t{1} << (countMarker & 0x0F);
            if (countMarker >> 4 != kInteger || width > 8 || objectsEnd - at - 1 < width)
                return objectText(index) + " has a malformed element count";
            count = bigEndian(bytes, at + 1, width);
            at += 1 + width;
        }
        const std::uint64_t room = (objectsEnd - at) / refSize;
        const std::uint64_t perElement = type == kDictionary ? 2 : 1;
        if (count > room / perElement)
            return objectText(index) + " holds more references than the file has room for";
        refs = {at, count * perElement};
        return std::nullopt;
    }
};

std::optional<std::string> readTrailer(std::string_view bytes, Document& document) {
    if (bytes.size() < kHeaderSize + kTrailerSize)
        return "too short for a binary property list";
    const std::size_t trailer = bytes.size() - kTrailerSize;
    document.bytes = bytes;
    document.offsetSize = static_cast<std::uint8_t>(bytes[trailer + 6]);
    document.refSize = static_cast<std::uint8_t>(bytes[trailer + 7]);
    document.objectCount = bigEndian(bytes, trailer + 8, 8);
    document.root = bigEndian(bytes, trailer + 16, 8);
    const std::uint64_t tableAt = bigEndian(bytes, trailer + 24, 8);
    document.objectsEnd = trailer;
    if (document.offsetSize < 1 || document.offsetSize > 8 || document.refSize < 1 ||
        document.refSize > 8)
        return "its trailer gives offsets or references of an impossible size";
    if (document.objectCount == 0 || document.root >= document.objectCount)
        return "its trailer names a root object that does not exist";
    if (tableAt < kHeaderSize || tableAt > trailer ||
        document.objectCount > (trailer - tableAt) / document.offsetSize)
        return "its offset table does not fit in the file";
    document.tableAt = static_cast<std::size_t>(tableAt);
    for (std::uint64_t i = 0; i < document.objectCount; ++i) {
        const std::size_t offset = document.offsetOf(i);
        if (offset < kHeaderSize || offset >= document.objectsEnd)
            return objectText(i) + " lies outside the file";
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> structuralFault(std::string_view bytes, std::size_t maxDepth) {
    constexpr std::uint16_t kOpen = std::numeric_limits<std::uint16_t>::max();
    maxDepth = std::min<std::size_t>(maxDepth, kOpen - 1);
    Document document;
    if (auto fault = readTrailer(bytes, document))
        return fault;
    const std::string tooDeep =
        "objects nested deeper than " + std::to_string(maxDepth) + " levels";
    const std::string tooMany = "more than " + std::to_string(kMaxExpandedValues) +
                                " values once shared objects are counted where they are used";

    // Per object: the levels it spans (0 while unseen) and the values it expands to. Walked
    // with a stack of its own, since the nesting is what is being bounded.
    std::vector<std::uint16_t> height(document.objectCount, 0);
    std::vector<std::uint32_t> expanded(document.objectCount, 0);
    struct Frame {
        std::uint64_t index;
        References refs;
        std::uint64_t next = 0;
        std::size_t height = 1;
        std::size_t expanded = 1;
    };
    std::vector<Frame> stack;

    // Counts a finished object into the frame on top, if any.
    const auto addToParent = [&](std::size_t levels,
                                 std::size_t values) -> std::optional<std::string> {
        if (stack.empty())
            return std::nullopt;
        Frame& parent = stack.back();
        if (stack.size() + levels > maxDepth)
            return tooDeep;
        parent.height = std::max(parent.height, 1 + levels);
        parent.expanded += values;
        if (parent.expanded > kMaxExpandedValues)
            return tooMany;
        return std::nullopt;
    };
    // Enters `index` from the frame on top (or as the root); a fault or nothing.
    const auto enter = [&](std::uint64_t index) -> std::optional<std::string> {
        if (index >= document.objectCount)
            return "a reference to " + objectText(index) + ", which does not exist";
        if (height[index] == kOpen)
            return objectText(index) + " contains itself";
        if (height[index] == 0) {
            References refs;
            if (auto fault = document.references(index, refs))
                return fault;
            if (refs.count > 0) {
                if (stack.size() + 1 > maxDepth)
                    return tooDeep;
                height[index] = kOpen;
                stack.push_back({index, refs});
                return std::nullopt;
            }
            height[index] = 1;
            expanded[index] = 1;
        }
        return addToParent(height[index], expanded[index]);
    };

    if (auto fault = enter(document.root))
        return fault;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < frame.refs.count) {
            const auto child = document.reference(frame.refs, frame.next++);
            if (auto fault = enter(child))
                return fault;
            continue;
        }
        const Frame done = frame;
        stack.pop_back();
        height[done.index] = static_cast<std::uint16_t>(done.height);
        expanded[done.index] = static_cast<std::uint32_t>(done.expanded);
        if (auto fault = addToParent(done.height, done.expanded))
            return fault;
    }
    return std::nullopt;
}

} // namespace tidemark::plist::binary
