#include "foundation/PropertyList.h"
#include "spaces/Space.h"
#include "spaces/SpaceNameCodec.h"

#include <gtest/gtest.h>

using namespace tidemark;

TEST(IsClosableApp, ProtectsSystemAppsThisProgramAndFinder) {
    const std::optional<std::string> self = "io.tidemark.Tidemark";
    EXPECT_TRUE(isClosableApp("Editor", "org.example.Editor", self));
    EXPECT_FALSE(isClosableApp("Tidemark", "io.tidemark.Tidemark", self));
    EXPECT_FALSE(isClosableApp("Dock", "com.apple.dock", self));
    // Only the candidate is folded, never the set.
    EXPECT_FALSE(isClosableApp("x", "com.apple.Finder", self));
    EXPECT_TRUE(isClosableApp("x", "com.apple.windowmanager", self));
    EXPECT_FALSE(isClosableApp("x", "com.apple.WindowManager", self));
    EXPECT_FALSE(isClosableApp("FiNdEr", "org.example.anything", self));
    // Without an identifier of its own the self check is skipped.
    EXPECT_TRUE(isClosableApp("Tidemark", "io.tidemark.Tidemark", std::nullopt));
    // The Linux desktop's own programs by their window class or desktop id, in any case; the
    // file manager that may also draw the desktop is an app like any other by its key.
    for (const char* key : {"Polybar", "i3bar", "org.kde.plasmashell", "Xfdesktop", "tidemark"})
        EXPECT_FALSE(isClosableApp("x", key, std::nullopt)) << key;
    EXPECT_TRUE(isClosableApp("PCManFM", "pcmanfm", std::nullopt));
}

TEST(SpaceAppDetail, IdentityIsTheProcess) {
    const SpaceAppDetail a{"One", nullptr, "one", 7};
    const SpaceAppDetail b{"Two", nullptr, "two", 7};
    EXPECT_EQ(a.id(), b.id());
}

TEST(SpaceNameCodec, RoundTripsAndRequiresBothKeysWithTheirTypes) {
    const SpaceNameMap names{{"3", {1, "N/A"}}, {"9", {2, "SAF"}}};
    const auto bytes = encodeSpaceNames(names);
    ASSERT_TRUE(bytes);
    ASSERT_EQ(std::string(bytes->begin(), bytes->begin() + 6), "bplist");
    EXPECT_EQ(decodeSpaceNames(*bytes), names);

    auto encode = [](ValueDictionary record) {
        return *plist::encodeBinary(Value(ValueDictionary{{"3", Value(std::move(record))}}));
    };
    EXPECT_FALSE(decodeSpaceNames(encode({{"spaceNum", Value(1)}})));
    EXPECT_FALSE(decodeSpaceNames(encode({{"spaceNum", Value("1")}, {"spaceName", Value("x")}})));
    EXPECT_FALSE(decodeSpaceNames(encode({{"spaceNum", Value(1)}, {"spaceName", Value(2)}})));
    EXPECT_TRUE(decodeSpaceNames(encode({{"spaceNum", Value(1)}, {"spaceName", Value("x")}})));
    EXPECT_FALSE(decodeSpaceNames(ByteString{'n', 'o'}));
    EXPECT_EQ(decodeSpaceNames(*encodeSpaceNames({})), SpaceNameMap{});
}

TEST(SpaceLabels, TheWindowManagersNumberAndNameComeFirst) {
    Space space;
    space.spaceNumber = 5;
    EXPECT_EQ(shownNumber(space), 5);
    EXPECT_EQ(panelTitle(space), "Desktop 5");
    space.wmNumber = 9;
    EXPECT_EQ(shownNumber(space), 9);
    EXPECT_EQ(panelTitle(space), "Desktop 9");
    space.wmName = "web";
    EXPECT_EQ(panelTitle(space), "web");
    // Long names are cut by characters, never inside one.
    space.wmName = std::string(30, 'x') + "é";
    EXPECT_EQ(panelTitle(space), std::string(23, 'x') + "…");
    space.wmName = std::string(23, 'x') + "é";
    EXPECT_EQ(panelTitle(space), *space.wmName);
}
