#include "foundation/Value.h"

#include <gtest/gtest.h>

using namespace tidemark;

TEST(Value, TypedReadersNeverConvertBetweenKinds) {
    EXPECT_EQ(Value(7).asInteger(), 7);
    EXPECT_FALSE(Value(7.0).asInteger());
    EXPECT_FALSE(Value(true).asInteger());
    EXPECT_EQ(Value(7.5).asNumber(), 7.5);
    EXPECT_EQ(Value(3).asNumber(), 3.0);
    EXPECT_FALSE(Value("3").asNumber());
    EXPECT_EQ(Value(std::int64_t{1} << 31).asInt32(), std::nullopt);
    EXPECT_EQ(Value(-(std::int64_t{1} << 31)).asInt32(), INT32_MIN);
}

TEST(Value, ArrayOfDictionariesRequiresEveryElement) {
    Value good(ValueArray{ValueDictionary{{"a", 1}}, ValueDictionary{}});
    ASSERT_TRUE(good.asArrayOfDictionaries());
    EXPECT_EQ(good.asArrayOfDictionaries()->size(), 2u);
    Value mixed(ValueArray{ValueDictionary{}, Value(1)});
    EXPECT_FALSE(mixed.asArrayOfDictionaries());
    EXPECT_FALSE(Value(ValueDictionary{}).asArrayOfDictionaries());
    EXPECT_EQ(*Value(ValueDictionary{{"k", "v"}}).find("k"), Value("v"));
    EXPECT_EQ(Value(ValueArray{}).find("k"), nullptr);
}

TEST(Value, EqualityComparesContentsNotStorage) {
    const Value tree(ValueDictionary{{"list", ValueArray{1, "two", 3.0, ByteString{4}}}});
    const Value rebuilt(ValueDictionary{{"list", ValueArray{1, "two", 3.0, ByteString{4}}}});
    EXPECT_EQ(tree, rebuilt);
    EXPECT_FALSE(tree.sharesStorageWith(rebuilt));
    const struct {
        Value a, b;
    } different[] = {
        {Value(1), Value(1.0)},
        {Value("1"), Value(1)},
        {Value(ValueArray{1, 2}), Value(ValueArray{2, 1})},
        {Value(ValueDictionary{{"a", 1}}), Value(ValueDictionary{{"b", 1}})},
        {Value(ByteString{1}), Value("\x01")},
        {Value(), Value(false)},
    };
    for (const auto& [a, b] : different) {
        EXPECT_NE(a, b);
        EXPECT_NE(b, a);
    }
}

TEST(Value, CopiesShareOnePayload) {
    const Value tree(ValueArray{ValueDictionary{{"name", std::string(100, 'x')}}});
    const Value copy = tree; // NOLINT(performance-unnecessary-copy-initialization)
    EXPECT_TRUE(copy.sharesStorageWith(tree));
    EXPECT_EQ(copy.asArray(), tree.asArray());
    // Changing a copy of the container leaves the shared value as it was.
    ValueArray edited = *tree.asArray();
    edited.push_back(Value(2));
    const Value changed(std::move(edited));
    EXPECT_EQ(tree.asArray()->size(), 1u);
    EXPECT_EQ(changed.asArray()->size(), 2u);
    EXPECT_TRUE((*changed.asArray())[0].sharesStorageWith((*tree.asArray())[0]));
}
