#pragma once

#include "foundation/MainQueue.h"
#include "spaces/Space.h"
#include "spaces/WindowServer.h"
#include "statusbar/EventPoster.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

// Where one switch goes on one display: `steps` spaces in one direction. Switched by
// gestures, it posts one gesture a step, each meant for that display.
struct SwitchPlan {
    std::string displayID;
    int steps = 0;
    bool forward = true;
    friend bool operator==(const SwitchPlan&, const SwitchPlan&) = default;
};

// The steps from the target display's current space to `target`, counted within that
// display; nothing when the target is current, gone, or its display has no current space.
std::optional<SwitchPlan> planSwitch(const std::vector<Space>& spaces, const Space& target);

// The space `steps` places after (negative: before) the current space of `displayID`,
// stopping at the display's first and last space: the wheel never wraps around. Nothing when
// the display has no current space or its current space is already at that end.
std::optional<Space> steppedSpace(const std::vector<Space>& spaces, std::string_view displayID,
                                  int steps);

// Whether the window server's displays show `spaceID` as the current space of `displayID`:
// how a switch learns that the window manager followed it.
bool showsCurrentSpace(const std::vector<Display>& displays, std::string_view displayID,
                       std::string_view spaceID);

enum class SwitchMethod { Direct, Gestures };

// Switches a display to one of its spaces: directly where the window server can, or else by
// posting one completed desktop-swipe gesture per step between its current space and the
// target, which shows every space in between.
class DesktopSwitcher : public std::enable_shared_from_this<DesktopSwitcher> {
public:
    // Event types and field numbers of the swipe recipe. The "fixed" fields carry constants
    // whose meaning the recipe does not need.
    static constexpr std::int64_t kGestureEventType = 29;
    static constexpr std::int64_t kDockSwipeEventType = 30;
    static constexpr int kFieldEventType = 55;
    static constexpr int kFieldHidEventType = 110;
    static constexpr int kFieldFixed123 = 123;
    static constexpr int kFieldSwipeProgress = 124;
    static constexpr int kFieldSwipeVelocityX = 129;
    static constexpr int kFieldFixed130 = 130;
    static constexpr int kFieldGesturePhase = 132;
    static constexpr int kFieldSwipeDirection = 135;
    static constexpr int kFieldFixed119 = 119;
    static constexpr int kFieldFixed139 = 139;
    static constexpr std::int64_t kHidDockSwipe = 23;
    static constexpr std::int64_t kPhaseBegan = 1;
    static constexpr std::int64_t kPhaseEnded = 4;
    // The smallest positive single-precision subnormal (bit pattern 1), passed exactly.
    static constexpr double kSmallestSubnormalFloat = 1.401298464324817e-45;
    static constexpr TimeSeconds kStepInterval = 0.15;

    static std::shared_ptr<DesktopSwitcher> create(MainQueue& mainQueue, EventPoster& poster,
                                                   WindowServer& windowServer,
                                                   std::function<void()> showSwitchAlert);

    SwitchMethod method() const;
    // `spaces` in snapshot order, `target` one of them. The plan it started, if any: nothing
    // also when the window server refused a direct switch.
    std::optional<SwitchPlan> switchToSpace(const std::vector<Space>& spaces, const Space& target);
    void performSwitchSteps(const SwitchPlan& plan);
    // Each gesture names its display, so a later switch cannot redirect pending steps.
    void postSwitchGesture(bool forward, const std::string& displayID);

private:
    DesktopSwitcher(MainQueue& mainQueue, EventPoster& poster, WindowServer& windowServer,
                    std::function<void()> showSwitchAlert)
        : mainQueue_(mainQueue), poster_(poster), windowServer_(windowServer),
          showSwitchAlert_(std::move(showSwitchAlert)) {}

    MainQueue& mainQueue_;
    EventPoster& poster_;
    WindowServer& windowServer_;
    std::function<void()> showSwitchAlert_;
};

} // namespace tidemark
