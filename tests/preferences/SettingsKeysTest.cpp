#include "preferences/SettingsKeys.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

TEST(SettingsKeys, EmptyStoreReadsTheRegisteredDefaults) {
    SettingsStore store;
    EXPECT_EQ(settings::displayStyle(store), 0); // nothing registered yet
    settings::registerDefaults(store);
    EXPECT_EQ(settings::displayStyle(store), 4);
    EXPECT_TRUE(settings::isOpenedAppsStyle(store));
    EXPECT_FALSE(settings::useHighContrastBorders(store));
    EXPECT_TRUE(settings::hoverPopupEnabled(store));
    EXPECT_TRUE(settings::scrollSwitchesSpaces(store));
    EXPECT_EQ(settings::activeSpaceColor(store), std::nullopt);
    EXPECT_EQ(store.object(settings::kSpaceNames), std::nullopt);
    // Registration never writes: the stored values stay empty.
    EXPECT_TRUE(store.storedValues().empty());
    EXPECT_EQ(store.registeredDefaults().size(), 4u);
}

TEST(SettingsKeys, StoredValuesWinOverRegisteredDefaults) {
    SettingsStore store(ValueDictionary{{"displayStyle", Value(1)},
                                        {"useHighContrastBorders", Value(true)},
                                        {"hoverPopupEnabled", Value(false)}});
    settings::registerDefaults(store);
    EXPECT_EQ(settings::displayStyle(store), 1);
    EXPECT_FALSE(settings::isOpenedAppsStyle(store));
    EXPECT_TRUE(settings::useHighContrastBorders(store));
    EXPECT_FALSE(settings::hoverPopupEnabled(store));
}

TEST(SettingsKeys, ActiveSpaceColorNeedsExactlyFourNumbers) {
    SettingsStore store;
    store.set(settings::kActiveSpaceColor, Value(ValueArray{0.1, 0.2, 0.3, 1}));
    EXPECT_EQ(settings::activeSpaceColor(store), (Color{0.1, 0.2, 0.3, 1.0}));
    for (const Value& bad :
         {Value(ValueArray{0.1, 0.2, 0.3}), Value(ValueArray{0.1, 0.2, 0.3, 1, 1}),
          Value(ValueArray{0.1, "0.2", 0.3, 1}), Value("red"),
          Value(ValueArray{0.1, true, 0.3, 1})}) {
        store.set(settings::kActiveSpaceColor, bad);
        EXPECT_EQ(settings::activeSpaceColor(store), std::nullopt);
    }
}

} // namespace
} // namespace tidemark
