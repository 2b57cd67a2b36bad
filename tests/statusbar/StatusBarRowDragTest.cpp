#include "statusbar/StatusBarTestSupport.h"

namespace tidemark::testing {
namespace {

using Calls = std::vector<std::string>;
using Move = std::tuple<std::int32_t, SpaceId, SpaceId>;

// Spaces 1 (current) and 2, and 3 full screen, all on "Main"; glyph 2 is lower than the
// image, so its mark shows whether the layout's y-up rectangle is turned over.
struct RowDragFixture : StatusBarFixture {
    int refreshes = 0;

    RowDragFixture() {
        auto full = makeSpace("Main", "3", false);
        full.isFullScreen = true;
        spaces = {makeSpace("Main", "1", true), makeSpace("Main", "2", false), full};
        statusBar->setRefreshRequest([this] { ++refreshes; });
    }
    static IconLayoutRef layout() {
        return layoutOf({{"1", {0, 0, 18, 12}}, {"2", {20.5, 0, 18, 8}}, {"3", {46, 0, 18, 12}}});
    }
    void showSpaces() { statusBar->updateStatusItem(layout(), spaces); }
    // The pointer over the button during a drag: the toolkit's hover report (which the drag
    // must ignore) and the drag's own.
    void dragTo(Point inButton) {
        moveTo(inButton);
        statusBar->rowDragMoved(screen.pointerLocation());
    }
    void openPanelAndDrag(std::int32_t pid) {
        openPanelOver({5, 6});
        // Into the panel, as the pointer goes to press a row.
        button->pointerExited();
        screen.movePointer({panelWindow->frame().midX(), panelWindow->frame().midY()});
        ASSERT_TRUE(statusBar->beginRowDrag(pid));
        content->takeCalls();
    }
};

TEST_F(RowDragFixture, ADropOnAnotherDesktopGlyphMovesTheAppAndOnlyThere) {
    showSpaces();
    EXPECT_FALSE(statusBar->beginRowDrag(7)) << "no panel, no row";
    openPanelAndDrag(7);

    dragTo({25, 6});
    EXPECT_EQ(statusBar->dropTargetSpaceID(), "2");
    EXPECT_EQ(button->dropTarget(), (Rect{20.5, 4, 18, 8}));
    dragTo({50, 6});
    EXPECT_EQ(statusBar->dropTargetSpaceID(), std::nullopt) << "full screen takes no windows";
    EXPECT_EQ(button->dropTarget(), std::nullopt);
    dragTo({5, 6});
    EXPECT_EQ(statusBar->dropTargetSpaceID(), std::nullopt) << "its own space";
    dragTo({25, 6});

    // Meanwhile the panel stayed on its space and open, the pointer off every glyph included.
    leaveToNowhere();
    statusBar->rowDragMoved(screen.pointerLocation());
    EXPECT_EQ(button->dropTarget(), std::nullopt);
    queue.advance(2);
    EXPECT_TRUE(statusBar->isPopoverShown());
    EXPECT_EQ(content->takeCalls(), Calls{});

    enter();
    dragTo({25, 6});
    statusBar->dropRow(screen.pointerLocation());
    EXPECT_EQ(windowServer.moves, (std::vector<Move>{{7, 1, 2}}));
    EXPECT_EQ(refreshes, 1);
    EXPECT_FALSE(statusBar->isDraggingRow());
    EXPECT_EQ(button->dropTarget(), std::nullopt);
    EXPECT_EQ(statusBar->lastMove(), windowServer.moveAnswer);
    // Hover starts afresh: the panel closes, and a rest on a glyph opens it again.
    queue.advance(1);
    EXPECT_FALSE(statusBar->isPopoverShown());
    moveTo({26, 6});
    queue.advance(StatusBar::kDwellDelay);
    EXPECT_TRUE(statusBar->isPopoverShown());
    EXPECT_EQ(statusBar->hoveredSpaceID(), "2");
}

TEST_F(RowDragFixture, EveryOtherEndMovesNothing) {
    showSpaces();
    struct Case {
        const char* name;
        std::function<void(RowDragFixture&)> end;
        bool panelStays;
    };
    const Case cases[] = {
        {"own glyph",
         [](RowDragFixture& f) {
             f.dragTo({5, 6});
         },
         false},
        {"full-screen glyph",
         [](RowDragFixture& f) {
             f.dragTo({50, 6});
         },
         false},
        {"elsewhere", [](RowDragFixture& f) { f.leaveToNowhere(); }, false},
        {"back on the panel",
         [](RowDragFixture& f) {
             f.screen.movePointer({f.panelWindow->frame().midX(), f.panelWindow->frame().midY()});
         },
         true},
    };
    for (const auto& c : cases) {
        openPanelAndDrag(7);
        enter();
        dragTo({25, 6});
        c.end(*this);
        statusBar->dropRow(screen.pointerLocation());
        queue.advance(1);
        EXPECT_EQ(statusBar->isPopoverShown(), c.panelStays) << c.name;
        statusBar->hidePopover();
        queue.advance(1);
    }
    // Escape, and a panel closed under the drag.
    openPanelAndDrag(7);
    dragTo({25, 6});
    statusBar->cancelRowDrag();
    EXPECT_EQ(button->dropTarget(), std::nullopt);
    ASSERT_TRUE(statusBar->beginRowDrag(7));
    dragTo({25, 6});
    statusBar->hidePopover();
    EXPECT_FALSE(statusBar->isDraggingRow());
    EXPECT_EQ(button->dropTarget(), std::nullopt);
    statusBar->dropRow(screen.pointerLocation());

    EXPECT_EQ(windowServer.moves, std::vector<Move>{});
    EXPECT_EQ(refreshes, 0);
}

TEST_F(RowDragFixture, ASpaceThatTurnsFullScreenUnderTheDragLosesItsMark) {
    showSpaces();
    openPanelAndDrag(7);
    dragTo({25, 6});
    ASSERT_EQ(statusBar->dropTargetSpaceID(), "2");
    spaces[1].isFullScreen = true;
    showSpaces();
    EXPECT_EQ(button->dropTarget(), std::nullopt);
    statusBar->dropRow(screen.pointerLocation());
    EXPECT_EQ(windowServer.moves, std::vector<Move>{});
}

} // namespace
} // namespace tidemark::testing
