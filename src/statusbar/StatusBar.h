#pragma once

#include "foundation/MainQueue.h"
#include "foundation/SettingsStore.h"
#include "icon/IconLayout.h"
#include "spaces/Space.h"
#include "statusbar/DesktopSwitcher.h"
#include "statusbar/EventPoster.h"
#include "statusbar/HoverPanel.h"
#include "statusbar/PopoverContent.h"
#include "statusbar/ViewPorts.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

// The services the status bar reads and asks.
struct StatusBarServices {
    MainQueue& mainQueue;
    SettingsStore& settings;
    EventPoster& eventPoster;
    WindowServer& windowServer;
    SwitchPermission& permission;
    ApplicationPort& application;
    AlertPresenter& alerts;
    ScreenPort& screen;
};

// The views the status bar drives. The panel window, around the popover view of the
// content model, is made when the panel first opens.
struct StatusBarViews {
    std::shared_ptr<StatusItemButton> button; // null: the status item has no button
    std::shared_ptr<StatusMenu> menu;
    std::function<std::unique_ptr<PanelWindow>()> makePanelWindow;
};

// The status item: shows each new image, turns clicks and the wheel into desktop switches
// or the menu, asks for the switching permission, and opens the hover panel over a resting
// pointer.
class StatusBar : public std::enable_shared_from_this<StatusBar> {
public:
    // Wires the button's pointer tracking and the application's mouse monitor to the new
    // controller (each holding it weakly).
    static std::shared_ptr<StatusBar> create(StatusBarServices services, StatusBarViews views,
                                             std::shared_ptr<PopoverContent> content);
    ~StatusBar();

    static constexpr TimeSeconds kClickCooldown = 0.6;
    static constexpr TimeSeconds kDwellDelay = 0.99;
    static constexpr TimeSeconds kDismissDelay = 0.35;
    static constexpr TimeSeconds kTimerTolerance = 0.05;
    static constexpr double kMenuOffsetBelowButton = 5;
    // After a step of the wheel, further notches wait this long: a touchpad's swipe sends a
    // burst of them.
    static constexpr TimeSeconds kScrollGuard = 0.15;

    // A new image with its layout, for the spaces of a new snapshot.
    void updateStatusItem(IconLayoutRef layout, std::vector<Space> spaces);

    // Clicks. `handleMouseEvent` answers whether the event goes on to its window.
    bool handleMouseEvent(const MouseEvent& event);
    void statusBarButtonClicked(const std::optional<MouseEvent>& currentEvent);
    void handleStatusItemClick(const std::optional<MouseEvent>& currentEvent);
    std::optional<std::string> spaceIDAtPoint(Point inButton) const;
    // The wheel over the status item: steps the display of the nearest glyph by `notches`
    // spaces (positive: onwards), as a click on that space would switch.
    void scrollWheel(Point inButton, int notches);
    void showSwitchAlert();
    // Removes the mouse monitor; the controller then lets every event pass.
    void teardown();

    // Hover.
    void pointerEntered();
    void pointerExited();
    void handleHoverMove(Point inButton);
    void scheduleDismiss();
    void showPopover(const std::string& spaceID);
    void switchPopoverSpace(const std::string& spaceID);
    void repositionPanel(const std::string& spaceID);
    double glyphCenterXOnScreen(const std::string& spaceID) const;
    std::shared_ptr<HoverPanel> makeHoverPanel();
    void hidePopover();

    // Dragging an app's row of the panel onto another glyph moves that app's windows on the
    // panel's space there. While a row is dragged the panel stays on its space, hover is
    // ignored, and the glyph under the pointer (screen coordinates) is marked when a drop
    // there would move the windows: not the panel's own space, not a full-screen space.
    // A drop anywhere else, or a cancel, moves nothing. `beginRowDrag` answers whether a
    // drag began (only while the panel is shown).
    bool beginRowDrag(std::int32_t pid);
    void rowDragMoved(Point onScreen);
    void dropRow(Point onScreen);
    void cancelRowDrag();
    bool isDraggingRow() const { return rowDrag_.has_value(); }
    std::optional<std::string> dropTargetSpaceID() const;
    // What the last drop asked of the window server; nothing before the first.
    const std::optional<WindowMoveResult>& lastMove() const { return lastMove_; }
    // How a move asks for the desktop to be read again at once.
    void setRefreshRequest(std::function<void()> request) { requestRefresh_ = std::move(request); }

    const std::vector<Space>& currentSpaces() const { return currentSpaces_; }
    const std::optional<std::string>& hoveredSpaceID() const { return hoveredSpaceID_; }
    bool isPopoverShown() const { return isPopoverShown_; }
    bool clickCooldown() const { return clickCooldown_; }
    bool isAlertShowing() const { return isAlertShowing_; }
    const std::shared_ptr<HoverPanel>& hoverPanel() const { return hoverPanel_; }
    PopoverContent& popoverViewModel() { return *popoverViewModel_; }

    // Hears the dwell end (the panel is about to open), the panel open for a space, move to
    // another space, and start to close.
    struct PanelListener {
        std::function<void(const std::string& spaceID)> opening;
        std::function<void(const std::string& spaceID)> shown;
        std::function<void(const std::string& spaceID)> moved;
        std::function<void()> hidden;
    };
    void setPanelListener(PanelListener listener) { panelListener_ = std::move(listener); }

private:
    StatusBar(StatusBarServices services, StatusBarViews views,
              std::shared_ptr<PopoverContent> content);
    void wire();
    const Space* findSpace(const std::string& spaceID) const;
    Rect imageRectInButton(const Image& image) const;
    std::optional<Rect> buttonRectOnScreen() const;
    void feedPopover(const Space& space);
    void cancelTimer(std::shared_ptr<WorkItem>& timer);
    void dismissCheck();
    void answerSwitchAlert(SwitchAlertAction action);
    std::string appName() const;
    std::optional<std::string> dropTargetAt(Point onScreen) const;
    std::optional<Rect> glyphRectInButton(const std::string& spaceID) const;
    void showDropTarget();
    void endRowDrag();

    StatusBarServices services_;
    StatusBarViews views_;
    std::vector<Space> currentSpaces_;
    IconLayoutRef currentLayout_;
    bool eventMonitorInstalled_ = false;
    std::shared_ptr<HoverPanel> hoverPanel_;
    std::shared_ptr<PopoverContent> popoverViewModel_;
    std::shared_ptr<WorkItem> dwellTimer_;
    std::shared_ptr<WorkItem> dismissTimer_;
    std::optional<std::string> hoveredSpaceID_;
    bool isPopoverShown_ = false;
    bool clickCooldown_ = false;
    bool isAlertShowing_ = false;
    std::optional<TimeSeconds> lastScrollStep_;
    std::shared_ptr<DesktopSwitcher> switcher_;
    PanelListener panelListener_;
    // The space the shown panel is about.
    std::optional<std::string> panelSpaceID_;
    struct RowDrag {
        std::int32_t pid = 0;
        std::string fromSpaceID;
        std::optional<std::string> target;
        Point lastPoint;
    };
    std::optional<RowDrag> rowDrag_;
    std::optional<WindowMoveResult> lastMove_;
    std::function<void()> requestRefresh_;
};

} // namespace tidemark
