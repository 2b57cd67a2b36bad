#include "platform/linux/x11/PropertyValue.h"

#include <cstring>
#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

using namespace std::string_literals;

std::string wordBytes(std::initializer_list<std::uint32_t> words) {
    std::string bytes(words.size() * 4, '\0');
    std::memcpy(bytes.data(), std::data(words), bytes.size());
    return bytes;
}

TEST(PropertyValue, NumbersOnlyFromTheRightTypeAndFormat) {
    const auto two = wordBytes({7, 9});
    const struct {
        const char* name;
        xcb_atom_t type;
        std::uint8_t format;
        std::string bytes;
        std::vector<std::uint32_t> words;
        std::optional<std::int32_t> pid;
    } cases[] = {
        {"cardinals", XCB_ATOM_CARDINAL, 32, two, {7, 9}, 7},
        {"wrong type", XCB_ATOM_ATOM, 32, two, {}, std::nullopt},
        {"wrong format", XCB_ATOM_CARDINAL, 8, two, {}, std::nullopt},
        {"shorter than a word", XCB_ATOM_CARDINAL, 32, "\x07\x00"s, {}, std::nullopt},
        {"a trailing part word is dropped", XCB_ATOM_CARDINAL, 32, two + "\x01", {7, 9}, 7},
        {"pid 0", XCB_ATOM_CARDINAL, 32, wordBytes({0}), {0}, std::nullopt},
        {"pid past 2^31", XCB_ATOM_CARDINAL, 32, wordBytes({1u << 31}), {1u << 31}, std::nullopt},
        {"largest pid", XCB_ATOM_CARDINAL, 32, wordBytes({0x7fffffffu}), {0x7fffffffu}, 0x7fffffff},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PropertyValue value{c.type, c.format, c.bytes};
        EXPECT_EQ(propertyWords(value, XCB_ATOM_CARDINAL), c.words);
        EXPECT_EQ(firstPropertyWord(value, XCB_ATOM_CARDINAL),
                  c.words.empty() ? std::nullopt : std::optional(c.words.front()));
        EXPECT_EQ(claimedPid(value), c.pid);
    }
}

TEST(PropertyValue, UrgencyIsBitEightOfTheHintsFlags) {
    // The value borrows its bytes: each case owns them.
    const struct {
        const char* name;
        xcb_atom_t type;
        std::uint8_t format;
        std::string bytes;
        bool urgent;
    } cases[] = {
        {"urgency alone", XCB_ATOM_WM_HINTS, 32, wordBytes({0x100}), true},
        {"urgency among other flags", XCB_ATOM_WM_HINTS, 32, wordBytes({0x1ff, 1, 0}), true},
        {"other flags", XCB_ATOM_WM_HINTS, 32, wordBytes({0x0ff, 0x100}), false},
        {"wrong type", XCB_ATOM_CARDINAL, 32, wordBytes({0x100}), false},
        {"wrong format", XCB_ATOM_WM_HINTS, 8, wordBytes({0x100}), false},
        {"shorter than a word", XCB_ATOM_WM_HINTS, 32, "\x00\x01"s, false},
        {"absent", XCB_ATOM_NONE, 0, "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(wmHintsUrgent({c.type, c.format, c.bytes}), c.urgent) << c.name;
}

TEST(PropertyValue, TextEndsAtNulIsRepairedAndBounded) {
    EXPECT_EQ(propertyText({XCB_ATOM_STRING, 8, "i3\0junk"s}, 64), "i3");
    EXPECT_EQ(propertyText({XCB_ATOM_STRING, 8, "caf\xe9"s}, 64), "caf\xef\xbf\xbd");
    // A four-byte character that does not fit is left out whole.
    EXPECT_EQ(propertyText({XCB_ATOM_STRING, 8, "ab\xf0\x9f\x98\x80"s}, 4), "ab");
    EXPECT_EQ(propertyText({XCB_ATOM_STRING, 32, "text"s}, 64), std::nullopt);
    EXPECT_EQ(propertyText({}, 64), std::nullopt);
}

} // namespace
} // namespace tidemark::linux_platform
