#include "statusbar/HoverPanel.h"

#include "platform/sim/HeadlessViews.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

struct HoverPanelFixture : ::testing::Test {
    VirtualMainQueue queue;
    sim::HeadlessScreen screen;
    sim::HeadlessPanelWindow* window = nullptr;
    std::shared_ptr<HoverPanel> panel = makePanel();
    // The status item on screen: 66 x 22 at (1000, 0).
    const Rect statusItem{1000, 0, 66, 22};

    std::shared_ptr<HoverPanel> makePanel() {
        auto owned = std::make_unique<sim::HeadlessPanelWindow>(queue, Size{280, 300});
        window = owned.get();
        return HoverPanel::create(std::move(owned), screen);
    }
};

TEST_F(HoverPanelFixture, ShowsCentredUnderTheGlyphAMarginBelowTheStatusItemAndFadesIn) {
    panel->showBelow(statusItem, 1030);
    EXPECT_EQ(window->frame(), Rect(1030 - 140, 22 + 6, 280, 300));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->alpha(), 0);
    queue.advance(HoverPanel::kFadeInDuration);
    EXPECT_EQ(window->alpha(), 1);
    EXPECT_EQ(panel->anchorTopY(), 28);
    EXPECT_EQ(panel->anchorCenterX(), 1030);

    // Moving keeps the size and does not fade.
    panel->moveBelow(statusItem, 1050);
    EXPECT_EQ(window->frame(), Rect(1050 - 140, 28, 280, 300));
    EXPECT_EQ(window->alpha(), 1);
}

TEST_F(HoverPanelFixture, ContentThatGrowsOrShrinksKeepsTheTopEdgeAndTheCentre) {
    panel->showBelow(statusItem, 1030);
    window->resizeContent({300, 420});
    EXPECT_EQ(window->frame(), Rect(1030 - 150, 28, 300, 420));
    window->resizeContent({200, 100});
    EXPECT_EQ(window->frame(), Rect(1030 - 100, 28, 200, 100));
    // Any frame asked for directly obeys the anchors too.
    panel->setFrame({0, 900, 280, 50});
    EXPECT_EQ(window->frame(), Rect(1030 - 140, 28, 280, 50));
}

TEST_F(HoverPanelFixture, StaysInsideTheVisibleFrameOfItsOutput) {
    // The strip at the right end of an output 1920 points wide whose right 24 points are a
    // panel of the desktop.
    screen.setVisibleFrame({0, 0, 1896, 1080});
    const Rect strip{1830, 0, 66, 22};
    const struct {
        double centerX;
        double expectedX;
    } cases[] = {
        {1890, 1896 - 280}, // centred under the last glyph it would be cut off
        {1700, 1700 - 140}, // far enough from the edge: centred
        {100, 0},           // at the left edge
    };
    for (const auto& c : cases) {
        panel->showBelow(strip, c.centerX);
        EXPECT_EQ(window->frame().minX(), c.expectedX) << c.centerX;
        // The anchor stays the glyph's centre, so growing content stays inside as well.
        EXPECT_EQ(panel->anchorCenterX(), c.centerX);
        window->resizeContent({320, 300});
        EXPECT_GE(window->frame().minX(), 0);
        EXPECT_LE(window->frame().maxX(), 1896);
        window->resizeContent({280, 300});
    }
}

TEST_F(HoverPanelFixture, OnlyTheLatestShowOrDismissalDecidesTheFadeOut) {
    int completions = 0;
    const auto count = [&] { ++completions; };

    panel->showBelow(statusItem, 1030);
    panel->dismissAnimated(count);
    queue.advance(HoverPanel::kFadeOutDuration);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(completions, 1);

    // Shown again during the fade-out: it stays on screen and the completion never runs.
    panel->showBelow(statusItem, 1030);
    panel->dismissAnimated(count);
    queue.advance(0.05);
    panel->showBelow(statusItem, 1030);
    queue.advance(1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(completions, 1);

    // Two dismissals: only the later one completes.
    panel->dismissAnimated(count);
    queue.advance(0.05);
    panel->dismissAnimated(count);
    queue.advance(0.1);
    EXPECT_TRUE(window->isVisible()) << "the first fade was taken over";
    EXPECT_EQ(completions, 1);
    queue.advance(0.05);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(completions, 2);

    // A fade that ends after the panel is gone does nothing.
    panel->showBelow(statusItem, 1030);
    panel->dismissAnimated(count);
    panel.reset();
    queue.advance(1);
    EXPECT_EQ(completions, 2);
}

TEST_F(HoverPanelFixture, ReportsThePointerEnteringAndLeavingOnceShown) {
    std::vector<std::string> heard;
    panel->onMouseEnteredPanel = [&] { heard.push_back("entered"); };
    panel->onMouseExitedPanel = [&] { heard.push_back("exited"); };
    window->pointerEntered();
    EXPECT_TRUE(heard.empty()) << "not tracked before the first show";
    panel->showBelow(statusItem, 1030);
    panel->showBelow(statusItem, 1030);
    window->pointerEntered();
    window->pointerExited();
    EXPECT_EQ(heard, (std::vector<std::string>{"entered", "exited"}));
}

} // namespace
} // namespace tidemark
