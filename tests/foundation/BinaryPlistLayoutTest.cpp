#include "foundation/BinaryPlistLayout.h"

#include "foundation/PropertyList.h"
#include "support/BinaryPlistBuilder.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

using testing::BinaryPlistBuilder;

// Hostile object graphs are refused before libplist walks them (which overflows its stack
// on the deep one and copies shared containers into millions of nodes); the reason named
// is the checker's, so these fail if the check is skipped.
TEST(BinaryPlistLayout, UnsoundGraphsAreRefusedWithTheirFault) {
    const auto shared = [](int levels) {
        BinaryPlistBuilder builder;
        for (std::uint64_t i = 0; i < std::uint64_t(levels); ++i)
            builder.array({i + 1, i + 1});
        builder.integer(7);
        return builder.document();
    };
    const auto cycle = [] {
        BinaryPlistBuilder builder;
        builder.array({1});
        builder.array({2, 0});
        builder.integer(1);
        return builder.document();
    };
    const auto dangling = [] {
        BinaryPlistBuilder builder;
        builder.array({1, 9});
        builder.integer(1);
        return builder.document();
    };
    const auto badTable = [] {
        auto bytes = BinaryPlistBuilder::nested(2);
        bytes[bytes.size() - 1] = char(0xF0); // the offset table's place, past the end
        return bytes;
    };
    const auto outside = [] {
        BinaryPlistBuilder builder;
        builder.integer(1);
        auto bytes = builder.document();
        bytes[bytes.size() - 32 - 1] = char(0x7F); // object 0's offset
        return bytes;
    };
    const struct {
        const char* name;
        std::string bytes;
        std::string fault;
    } cases[] = {
        {"300,000 levels", BinaryPlistBuilder::nested(300'000),
         "objects nested deeper than 512 levels"},
        {"513 levels", BinaryPlistBuilder::nested(512), "objects nested deeper than 512 levels"},
        {"40 levels of shared pairs", shared(40),
         "more than 65536 values once shared objects are counted where they are used"},
        {"a cycle", cycle(), "object 0 contains itself"},
        {"a dangling reference", dangling(), "a reference to object 9, which does not exist"},
        {"an offset table past the end", badTable(), "its offset table does not fit in the file"},
        {"an object past the end", outside(), "object 0 lies outside the file"},
        {"a lone header", "bplist00", "too short for a binary property list"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = plist::decodeExplained(c.bytes);
        EXPECT_FALSE(decoded.value);
        EXPECT_EQ(decoded.fault, c.fault);
    }
}

// Sound documents pass: 512 levels, and shared objects that stay within the bound.
TEST(BinaryPlistLayout, SoundGraphsStillDecode) {
    const auto deepest = plist::decode(BinaryPlistBuilder::nested(511));
    ASSERT_TRUE(deepest);
    std::size_t depth = 1;
    for (const Value* level = &*deepest; level->asArray(); level = &level->asArray()->front())
        ++depth;
    EXPECT_EQ(depth, 512u);

    BinaryPlistBuilder builder;
    for (std::uint64_t i = 0; i < 14; ++i) // 2^15 - 1 values once expanded
        builder.array({i + 1, i + 1});
    builder.integer(7);
    EXPECT_FALSE(plist::binary::structuralFault(builder.document(), plist::kMaxDepth));
    const auto encoded = plist::encodeBinary(Value(
        ValueDictionary{{"a", Value(ValueArray{Value(1), Value(std::string("x")), Value(1)})}}));
    ASSERT_TRUE(encoded);
    EXPECT_TRUE(plist::decode(*encoded));
}

} // namespace
} // namespace tidemark
