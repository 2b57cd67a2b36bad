#include "platform/sim/HeadlessApp.h"
#include "statusbar/StatusBarTestSupport.h"

#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

const char* const kTwoSpaces = R"({
  "settings": {"displayStyle": 1},
  "displays": [{"Display Identifier": "Main", "Current Space": {"ManagedSpaceID": 1},
                "Spaces": [{"ManagedSpaceID": 1}, {"ManagedSpaceID": 2}]}]
})";

struct HeadlessAppFixture : ::testing::Test {
    sim::SimPlatform platform{sim::parseScenario(kTwoSpaces, "test")};
    std::shared_ptr<RecordingContent> content = std::make_shared<RecordingContent>();
    sim::HeadlessApp app{platform, [this] { return content; }};
    std::vector<Size> images;

    HeadlessAppFixture() {
        app.button->onImage = [this](const ImageRef& image) { images.push_back(image->size()); };
    }
};

TEST_F(HeadlessAppFixture, EachSnapshotBecomesTheButtonImageWithItsLayoutAndSpaces) {
    EXPECT_TRUE(images.empty()) << "nothing is shown before launch";
    app.delegate->applicationDidFinishLaunching();
    ASSERT_EQ(images.size(), 1u) << "the first refresh runs within the launch";
    EXPECT_EQ(images[0], (Size{38.5, 12}));
    EXPECT_EQ(app.statusBar().currentSpaces().size(), 2u);

    // The image and the spaces go together: the new second glyph is hit at once.
    platform.windowServer.setDisplays(sim::parseScenario(R"({"displays": [
        {"Display Identifier": "Main", "Current Space": {"ManagedSpaceID": 1},
         "Spaces": [{"ManagedSpaceID": 1}, {"ManagedSpaceID": 7}, {"ManagedSpaceID": 8}]}]})",
                                                         "test")
                                          .displays);
    platform.workspace.events().post({WorkspaceEventKind::ActiveSpaceChanged});
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[1].width, 59.0);
    EXPECT_EQ(app.statusBar().spaceIDAtPoint({50, 6}), "8");

    // A change of appearance alone draws a new image.
    platform.mainQueue.advance(1);
    platform.workspace.setAppearance(Appearance::Dark);
    platform.workspace.events().post({WorkspaceEventKind::AppearanceChanged});
    platform.mainQueue.runPending();
    EXPECT_EQ(images.size(), 3u);
}

TEST_F(HeadlessAppFixture, TheDefaultsAreRegisteredAsTheDelegateIsBuiltAndStoredValuesWin) {
    EXPECT_TRUE(settings::hoverPopupEnabled(platform.settings));
    EXPECT_FALSE(settings::useHighContrastBorders(platform.settings));
    EXPECT_EQ(settings::displayStyle(platform.settings), 1) << "stored in the scenario";
    EXPECT_TRUE(platform.settings.storedValues().find(settings::kHoverPopupEnabled) ==
                platform.settings.storedValues().end());
}

} // namespace
} // namespace tidemark::testing
