#pragma once

#include "app/AppDelegate.h"
#include "icon/IconCreator.h"
#include "statusbar/DesktopSwitcher.h"
#include "statusbar/ViewPorts.h"

#include <memory>
#include <vector>

namespace tidemark {

// Puts each new snapshot's image on the status item's button and answers its clicks: a
// right click opens the menu below the button, a left click on a glyph switches that
// display to the space. A stand-in for the status bar controller's click handling until
// the live app is wired to it; hover is left to that controller.
class StripPresenter final : public SnapshotPresenter,
                             public std::enable_shared_from_this<StripPresenter> {
public:
    StripPresenter(IconCreator& iconCreator, StatusItemButton& button, StatusMenu& menu,
                   std::shared_ptr<DesktopSwitcher> switcher)
        : iconCreator_(iconCreator), button_(button), menu_(menu), switcher_(std::move(switcher)) {}

    void present(const std::vector<Space>& spaces) override;
    // Answers whether the event goes on to the button.
    bool handleMouseEvent(const MouseEvent& event);

    // The glyph under a point of the button: the rectangle holding it, else the nearest
    // glyph centre within half its width plus 4 points (8 at least).
    const Space* spaceAt(Point inButton) const;
    const IconLayoutRef& layout() const { return layout_; }

private:
    IconCreator& iconCreator_;
    StatusItemButton& button_;
    StatusMenu& menu_;
    std::shared_ptr<DesktopSwitcher> switcher_;
    IconLayoutRef layout_;
    std::vector<Space> spaces_;
};

} // namespace tidemark
