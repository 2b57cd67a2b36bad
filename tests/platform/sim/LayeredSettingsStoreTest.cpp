#include "platform/sim/LayeredSettingsStore.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tidemark::sim {
namespace {

struct Layers : ::testing::Test {
    Layers() {
        above.set("useHighContrastBorders", true);
        token = layered.observeChanges([this](std::string_view key) { heard.emplace_back(key); });
    }

    SettingsStore above;
    LayeredSettingsStore layered{{{"displayStyle", 4}, {"useHighContrastBorders", false}}, above};
    ObservationToken token;
    std::vector<std::string> heard;
};

TEST_F(Layers, TheUpperStoreWinsAndItsChangesAreHeardOnce) {
    EXPECT_EQ(layered.integer("displayStyle"), 4) << "the scenario's value";
    EXPECT_TRUE(layered.boolean("useHighContrastBorders")) << "the upper store's value wins";

    above.set("displayStyle", 1);
    EXPECT_EQ(layered.integer("displayStyle"), 1);
    above.remove("displayStyle");
    EXPECT_EQ(layered.integer("displayStyle"), 4) << "the scenario's value shows again";
    above.set("hoverPopupEnabled", false);
    EXPECT_FALSE(layered.boolean("hoverPopupEnabled"));
    EXPECT_EQ(heard,
              (std::vector<std::string>{"displayStyle", "displayStyle", "hoverPopupEnabled"}))
        << "only the changed key, once per change";
}

TEST_F(Layers, OwnWritesStayInMemoryUntilTheUpperStoreWritesTheKey) {
    layered.set("spaceNames", Value(ByteString{1, 2}));
    layered.remove("displayStyle");
    EXPECT_FALSE(above.storedValues().contains("spaceNames")) << "never written through";
    EXPECT_FALSE(layered.object("displayStyle"));

    // A change of another key keeps this store's own writes.
    above.set("activeSpaceColor", ValueArray{1, 0, 0, 1});
    EXPECT_TRUE(layered.object("spaceNames"));
    EXPECT_FALSE(layered.object("displayStyle")) << "the own removal holds";

    // The upper store's later write of the same key wins.
    above.set("displayStyle", 2);
    EXPECT_EQ(layered.integer("displayStyle"), 2);
    above.remove("displayStyle");
    EXPECT_EQ(layered.integer("displayStyle"), 4) << "the own removal was superseded";
}

} // namespace
} // namespace tidemark::sim
