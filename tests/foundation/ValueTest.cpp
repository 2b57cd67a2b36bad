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
