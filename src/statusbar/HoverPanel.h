#pragma once

#include "statusbar/ViewPorts.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace tidemark {

// The floating panel under a glyph: where it goes, how it appears and fades. It keeps its
// top edge a margin below the status item and its centre under the glyph whatever its size,
// but never lets the screen cut it off: the strip sits at the right end of its output, so a
// panel centred under the last glyphs is moved left just enough to stay inside the output's
// visible frame.
class HoverPanel : public std::enable_shared_from_this<HoverPanel> {
public:
    static std::shared_ptr<HoverPanel> create(std::unique_ptr<PanelWindow> window,
                                              const ScreenPort& screen);

    static constexpr double kTopMargin = 6.0;
    static constexpr TimeSeconds kFadeInDuration = 0.15;
    static constexpr TimeSeconds kFadeOutDuration = 0.12;

    std::function<void()> onMouseEnteredPanel;
    std::function<void()> onMouseExitedPanel;

    // Screen y of the top edge and screen x of the centre; absent until first shown.
    std::optional<double> anchorTopY() const { return anchorTopY_; }
    std::optional<double> anchorCenterX() const { return anchorCenterX_; }
    // Raised by every show and every dismissal; a dismissal completes only while it is the
    // latest of them.
    std::int64_t dismissCounter() const { return dismissCounter_; }

    // The frame that applies when `proposed` is asked for, by anyone: the anchors win over
    // its position, then the visible frame keeps it on screen.
    Rect constrainFrame(Rect proposed) const;
    void setFrame(Rect frame);

    // `anchor` is the status item's rectangle on screen, `centerX` the glyph's centre.
    void showBelow(Rect anchor, double centerX);
    // Moves the shown panel under another glyph at once, without fading.
    void moveBelow(Rect anchor, double centerX);
    // Fades out; the window is ordered out and `completion` runs only if no show or later
    // dismissal came meanwhile.
    void dismissAnimated(std::function<void()> completion);

    bool isVisible() const { return window_->isVisible(); }
    Rect frame() const { return window_->frame(); }

private:
    HoverPanel(std::unique_ptr<PanelWindow> window, const ScreenPort& screen)
        : window_(std::move(window)), screen_(screen) {}
    void placeBelow(Rect anchor, double centerX);

    std::unique_ptr<PanelWindow> window_;
    const ScreenPort& screen_;
    bool tracking_ = false;
    std::optional<double> anchorTopY_;
    std::optional<double> anchorCenterX_;
    std::int64_t dismissCounter_ = 0;
};

} // namespace tidemark
