#include "statusbar/HoverPanel.h"

#include <algorithm>

namespace tidemark {

std::shared_ptr<HoverPanel> HoverPanel::create(std::unique_ptr<PanelWindow> window,
                                               const ScreenPort& screen) {
    auto panel = std::shared_ptr<HoverPanel>(new HoverPanel(std::move(window), screen));
    std::weak_ptr<HoverPanel> weakPanel = panel;
    panel->window_->setFrameFilter([weakPanel](Rect proposed) {
        const auto self = weakPanel.lock();
        return self ? self->constrainFrame(proposed) : proposed;
    });
    return panel;
}

Rect HoverPanel::constrainFrame(Rect proposed) const {
    Rect frame = proposed;
    if (anchorTopY_)
        frame.origin.y = *anchorTopY_;
    if (anchorCenterX_)
        frame.origin.x = *anchorCenterX_ - frame.width() / 2;
    const Rect visible = screen_.visibleFrame(frame);
    frame.origin.x =
        std::max(visible.minX(), std::min(frame.minX(), visible.maxX() - frame.width()));
    return frame;
}

void HoverPanel::setFrame(Rect frame) {
    window_->setFrame(constrainFrame(frame));
}

void HoverPanel::placeBelow(Rect anchor, double centerX) {
    anchorTopY_ = anchor.maxY() + kTopMargin;
    anchorCenterX_ = centerX;
    const Size size = window_->fittingSize();
    setFrame({centerX - size.width / 2, *anchorTopY_, size.width, size.height});
}

void HoverPanel::showBelow(Rect anchor, double centerX) {
    if (!window_->hasContent())
        return;
    // A dismissal still fading out must not order the panel out now.
    ++dismissCounter_;
    placeBelow(anchor, centerX);
    if (!tracking_) {
        tracking_ = true;
        std::weak_ptr<HoverPanel> weakSelf = weak_from_this();
        window_->trackPointer(
            [weakSelf] {
                if (auto self = weakSelf.lock(); self && self->onMouseEnteredPanel)
                    self->onMouseEnteredPanel();
            },
            [weakSelf] {
                if (auto self = weakSelf.lock(); self && self->onMouseExitedPanel)
                    self->onMouseExitedPanel();
            });
    }
    window_->setAlpha(0);
    window_->orderFrontRegardless();
    window_->animateAlpha(1.0, kFadeInDuration, AnimationCurve::EaseOut, {});
}

void HoverPanel::moveBelow(Rect anchor, double centerX) {
    placeBelow(anchor, centerX);
}

void HoverPanel::dismissAnimated(std::function<void()> completion) {
    const auto n = ++dismissCounter_;
    std::weak_ptr<HoverPanel> weakSelf = weak_from_this();
    window_->animateAlpha(0.0, kFadeOutDuration, AnimationCurve::EaseIn,
                          [weakSelf, n, completion = std::move(completion)] {
                              const auto self = weakSelf.lock();
                              if (!self || self->dismissCounter_ != n)
                                  return;
                              self->window_->orderOut();
                              if (completion)
                                  completion();
                          });
}

} // namespace tidemark
