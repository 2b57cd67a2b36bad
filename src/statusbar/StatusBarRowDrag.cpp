#include "statusbar/StatusBar.h"

// Dragging an app's row of the hover panel onto a glyph: the drop target, its mark on the
// strip and the move it asks for.

namespace tidemark {

bool StatusBar::beginRowDrag(std::int32_t pid) {
    if (!isPopoverShown_ || !panelSpaceID_ || rowDrag_)
        return false;
    cancelTimer(dwellTimer_);
    cancelTimer(dismissTimer_);
    rowDrag_ = RowDrag{pid, *panelSpaceID_, std::nullopt, services_.screen.pointerLocation()};
    return true;
}

std::optional<std::string> StatusBar::dropTargetAt(Point onScreen) const {
    const auto button = buttonRectOnScreen();
    if (!rowDrag_ || !button || !button->contains(onScreen))
        return std::nullopt;
    const auto id = spaceIDAtPoint({onScreen.x - button->minX(), onScreen.y - button->minY()});
    // Nothing to move onto the space the windows are on; a full-screen space takes no
    // other windows.
    if (!id || *id == rowDrag_->fromSpaceID)
        return std::nullopt;
    const Space* space = findSpace(*id);
    if (!space || space->isFullScreen)
        return std::nullopt;
    return id;
}

std::optional<std::string> StatusBar::dropTargetSpaceID() const {
    return rowDrag_ ? rowDrag_->target : std::nullopt;
}

std::optional<Rect> StatusBar::glyphRectInButton(const std::string& spaceID) const {
    if (!views_.button || !currentLayout_)
        return std::nullopt;
    const ImageRef image = views_.button->image();
    const auto glyph = currentLayout_->spaceRects.find(spaceID);
    if (!image || glyph == currentLayout_->spaceRects.end())
        return std::nullopt;
    const Size size = image->size();
    const Rect inButton = imageRectInButton(*image);
    const double sx = size.width > 0 ? inButton.width() / size.width : 1;
    const double sy = size.height > 0 ? inButton.height() / size.height : 1;
    // The layout's rectangles are y-up from the image's lower left.
    const Rect& r = glyph->second;
    return Rect{inButton.minX() + sx * r.minX(), inButton.minY() + sy * (size.height - r.maxY()),
                sx * r.width(), sy * r.height()};
}

void StatusBar::showDropTarget() {
    if (!views_.button)
        return;
    const auto target = rowDrag_ ? rowDrag_->target : std::nullopt;
    views_.button->setDropTarget(target ? glyphRectInButton(*target) : std::nullopt);
}

void StatusBar::rowDragMoved(Point onScreen) {
    if (!rowDrag_)
        return;
    rowDrag_->lastPoint = onScreen;
    const auto target = dropTargetAt(onScreen);
    if (target == rowDrag_->target)
        return;
    rowDrag_->target = target;
    showDropTarget();
}

void StatusBar::endRowDrag() {
    rowDrag_.reset();
    showDropTarget();
    // The drag held the pointer, so the strip heard nothing of it meanwhile: hover starts
    // afresh with the next move over a glyph, and the panel closes unless the pointer is
    // back on it.
    hoveredSpaceID_.reset();
    scheduleDismiss();
}

void StatusBar::dropRow(Point onScreen) {
    if (!rowDrag_)
        return;
    rowDragMoved(onScreen);
    const RowDrag drag = *rowDrag_;
    endRowDrag();
    if (!drag.target)
        return;
    const auto from = spaceIdOf(drag.fromSpaceID);
    const auto to = spaceIdOf(*drag.target);
    if (!from || !to)
        return;
    lastMove_ = services_.windowServer.moveWindows(drag.pid, *from, *to);
    // The strip and the panel show where the windows are now, refused ones included.
    if (requestRefresh_)
        requestRefresh_();
}

void StatusBar::cancelRowDrag() {
    if (rowDrag_)
        endRowDrag();
}

} // namespace tidemark
