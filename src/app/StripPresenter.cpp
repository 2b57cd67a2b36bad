#include "app/StripPresenter.h"

#include <cmath>
#include <limits>

namespace tidemark {

void StripPresenter::present(const std::vector<Space>& spaces) {
    layout_ = iconCreator_.createIcon(spaces);
    spaces_ = spaces;
    button_.setImage(layout_ ? layout_->image : nullptr);
}

const Space* StripPresenter::spaceAt(Point inButton) const {
    if (!layout_ || !layout_->image)
        return nullptr;
    const Size imageSize = layout_->image->size();
    const Rect bounds = button_.bounds();
    const Rect imageRect = button_.cellImageRect(bounds).value_or(
        Rect{(bounds.width() - imageSize.width) / 2, (bounds.height() - imageSize.height) / 2,
             imageSize.width, imageSize.height});
    if (!imageRect.contains(inButton))
        return nullptr;
    // Button coordinates grow downwards, the image's upwards.
    const Point inImage{inButton.x - imageRect.minX(),
                        imageSize.height - (inButton.y - imageRect.minY())};
    const auto find = [this](const std::string& id) -> const Space* {
        for (const auto& space : spaces_)
            if (space.spaceID == id)
                return &space;
        return nullptr;
    };
    const Space* nearest = nullptr;
    double nearestDistance = std::numeric_limits<double>::infinity();
    double nearestReach = 0;
    for (const auto& [id, rect] : layout_->spaceRects) {
        const Space* space = find(id);
        if (!space)
            continue;
        if (rect.contains(inImage))
            return space;
        const double distance = std::abs(rect.midX() - inImage.x);
        if (distance < nearestDistance) {
            nearest = space;
            nearestDistance = distance;
            nearestReach = std::max(rect.width() / 2 + 4.0, 8.0);
        }
    }
    return nearestDistance <= nearestReach ? nearest : nullptr;
}

bool StripPresenter::handleMouseEvent(const MouseEvent& event) {
    if (event.button == MouseButton::Right) {
        if (event.action == MouseAction::Down)
            menu_.popUp(Point{0, button_.bounds().height() + 5});
        return false;
    }
    if (event.action == MouseAction::Down)
        return true;
    if (hasFlag(event.modifiers, ModifierFlags::Command))
        return true;
    button_.setHighlighted(false);
    if (const Space* space = spaceAt(event.locationInButton); space && !space->isCurrentSpace)
        switcher_->switchToSpace(spaces_, *space);
    return false;
}

} // namespace tidemark
