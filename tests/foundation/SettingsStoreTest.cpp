#include "foundation/SettingsStore.h"

#include <gtest/gtest.h>

using namespace tidemark;

TEST(SettingsStore, RegisteredDefaultsLoseToStoredValuesAndAreNeverStored) {
    SettingsStore store(ValueDictionary{{"displayStyle", Value(1)}});
    store.registerDefaults({{"displayStyle", Value(4)}, {"hoverPopupEnabled", Value(true)}});
    EXPECT_EQ(store.integer("displayStyle"), 1);
    EXPECT_TRUE(store.boolean("hoverPopupEnabled"));
    EXPECT_FALSE(store.storedValues().contains("hoverPopupEnabled"));
    store.remove("displayStyle");
    EXPECT_EQ(store.integer("displayStyle"), 4);
}

namespace {
// Stands for a persistent store that reread its file.
class RereadingStore : public SettingsStore {
public:
    using SettingsStore::SettingsStore;
    void reread(ValueDictionary fresh) { adoptStoredValues(std::move(fresh)); }
};
} // namespace

TEST(SettingsStore, ObserversHearEachChangedKeyOnce) {
    RereadingStore store(ValueDictionary{{"kept", Value(1)}, {"dropped", Value(2)}});
    std::vector<std::string> heard;
    auto token = store.observeChanges([&](std::string_view key) { heard.emplace_back(key); });
    store.registerDefaults({{"displayStyle", Value(4)}});
    store.set("kept", Value(1)); // no change
    store.remove("absent");
    store.set("displayStyle", Value(2));
    store.remove("displayStyle");
    store.reread({{"kept", Value(1)}, {"added", Value(3)}});
    EXPECT_EQ(heard,
              (std::vector<std::string>{"displayStyle", "displayStyle", "dropped", "added"}));
    EXPECT_EQ(store.integer("added"), 3);
    EXPECT_FALSE(store.object("dropped"));
    token.reset();
    store.set("kept", Value(5));
    EXPECT_EQ(heard.size(), 4u);
}

TEST(SettingsStore, ReadersGiveZeroAndFalseForAbsentOrForeignValues) {
    SettingsStore store(ValueDictionary{{"text", Value("abc")},
                                        {"numeric", Value("12")},
                                        {"real", Value(2.9)},
                                        {"data", Value(ByteString{1})},
                                        {"yes", Value("YES")},
                                        {"one", Value(1)}});
    EXPECT_EQ(store.integer("missing"), 0);
    EXPECT_EQ(store.integer("text"), 0);
    EXPECT_EQ(store.integer("data"), 0);
    EXPECT_EQ(store.integer("numeric"), 12);
    EXPECT_EQ(store.integer("real"), 2);
    EXPECT_FALSE(store.boolean("missing"));
    EXPECT_FALSE(store.boolean("text"));
    EXPECT_TRUE(store.boolean("yes"));
    EXPECT_TRUE(store.boolean("one"));
    store.set("one", Value());
    EXPECT_FALSE(store.object("one"));
}

TEST(SettingsStore, ReadsTextAsABooleanTheWayTheDefaultsDo) {
    const std::vector<std::pair<const char*, bool>> cases{
        {"true", true}, {"TRUE", true}, {"True", true},        {"YES", true},    {"yes", true},
        {"1", true},    {"12", true},   {"-1", true},          {"false", false}, {"NO", false},
        {"0", false},   {"", false},    {"yes please", false}, {"truth", false},
    };
    for (const auto& [text, expected] : cases) {
        const SettingsStore store(ValueDictionary{{"flag", Value(text)}});
        EXPECT_EQ(store.boolean("flag"), expected) << text;
    }
}
