#include "statusbar/DesktopSwitcher.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace tidemark {

std::shared_ptr<DesktopSwitcher> DesktopSwitcher::create(MainQueue& mainQueue, EventPoster& poster,
                                                         WindowServer& windowServer,
                                                         std::function<void()> showSwitchAlert) {
    return std::shared_ptr<DesktopSwitcher>(
        new DesktopSwitcher(mainQueue, poster, windowServer, std::move(showSwitchAlert)));
}

std::optional<SwitchPlan> planSwitch(const std::vector<Space>& spaces, const Space& target) {
    if (target.isCurrentSpace)
        return std::nullopt;
    std::vector<const Space*> display;
    for (const auto& space : spaces)
        if (space.displayID == target.displayID)
            display.push_back(&space);
    const auto current = std::find_if(display.begin(), display.end(),
                                      [](const Space* s) { return s->isCurrentSpace; });
    if (current == display.end())
        return std::nullopt;
    const auto wanted = std::find_if(display.begin(), display.end(),
                                     [&](const Space* s) { return s->spaceID == target.spaceID; });
    if (wanted == display.end())
        return std::nullopt;
    const auto c = current - display.begin();
    const auto t = wanted - display.begin();
    if (c == t)
        return std::nullopt;
    return SwitchPlan{target.displayID, static_cast<int>(std::abs(t - c)), t > c};
}

std::optional<Space> steppedSpace(const std::vector<Space>& spaces, std::string_view displayID,
                                  int steps) {
    std::vector<const Space*> display;
    for (const auto& space : spaces)
        if (space.displayID == displayID)
            display.push_back(&space);
    const auto current = std::find_if(display.begin(), display.end(),
                                      [](const Space* s) { return s->isCurrentSpace; });
    if (current == display.end())
        return std::nullopt;
    const auto from = current - display.begin();
    const auto to =
        std::clamp<std::int64_t>(std::int64_t(from) + steps, 0, std::int64_t(display.size()) - 1);
    if (to == from)
        return std::nullopt;
    return *display[std::size_t(to)];
}

bool showsCurrentSpace(const std::vector<Display>& displays, std::string_view displayID,
                       std::string_view spaceID) {
    const auto display = std::find_if(displays.begin(), displays.end(),
                                      [&](const Display& d) { return d.identifier == displayID; });
    return display != displays.end() && std::to_string(display->currentSpace) == spaceID;
}

std::optional<SwitchPlan> DesktopSwitcher::switchToSpace(const std::vector<Space>& spaces,
                                                         const Space& target) {
    if (target.isCurrentSpace)
        return std::nullopt;
    if (!poster_.isProcessTrusted()) {
        if (showSwitchAlert_)
            showSwitchAlert_();
        return std::nullopt;
    }
    const auto plan = planSwitch(spaces, target);
    if (!plan)
        return std::nullopt;
    if (method() == SwitchMethod::Gestures) {
        performSwitchSteps(*plan);
        return plan;
    }
    const auto space = spaceIdOf(target.spaceID);
    if (!space || !windowServer_.makeCurrent(*space))
        return std::nullopt;
    return plan;
}

SwitchMethod DesktopSwitcher::method() const {
    return windowServer_.switchesDirectly() ? SwitchMethod::Direct : SwitchMethod::Gestures;
}

void DesktopSwitcher::performSwitchSteps(const SwitchPlan& plan) {
    if (plan.steps == 1) {
        postSwitchGesture(plan.forward, plan.displayID);
        return;
    }
    std::weak_ptr<DesktopSwitcher> weakSelf = weak_from_this();
    for (int i = 0; i < plan.steps; ++i) {
        mainQueue_.asyncAfter(kStepInterval * i,
                              [weakSelf, forward = plan.forward, display = plan.displayID] {
                                  if (auto self = weakSelf.lock())
                                      self->postSwitchGesture(forward, display);
                              });
    }
}

void DesktopSwitcher::postSwitchGesture(bool forward, const std::string& displayID) {
    auto a = poster_.createEvent();
    auto b = poster_.createEvent();
    auto c = poster_.createEvent();
    auto d = poster_.createEvent();
    if (!a || !b || !c || !d)
        return;

    a->setType(kGestureEventType);
    a->setIntegerValueField(kFieldEventType, kGestureEventType);

    b->setType(kDockSwipeEventType);
    b->setIntegerValueField(kFieldEventType, kDockSwipeEventType);
    b->setIntegerValueField(kFieldHidEventType, kHidDockSwipe);
    b->setIntegerValueField(kFieldGesturePhase, kPhaseBegan);
    b->setIntegerValueField(kFieldSwipeDirection, forward ? 1 : 0);
    b->setIntegerValueField(kFieldFixed123, 1);
    b->setDoubleValueField(kFieldFixed119, 0.0);
    b->setDoubleValueField(kFieldFixed139, kSmallestSubnormalFloat);

    c->setType(kGestureEventType);
    c->setIntegerValueField(kFieldEventType, kGestureEventType);

    d->setType(kDockSwipeEventType);
    d->setIntegerValueField(kFieldEventType, kDockSwipeEventType);
    d->setIntegerValueField(kFieldHidEventType, kHidDockSwipe);
    d->setIntegerValueField(kFieldGesturePhase, kPhaseEnded);
    d->setDoubleValueField(kFieldSwipeProgress, forward ? 1.0 : -1.0);
    d->setIntegerValueField(kFieldSwipeDirection, forward ? 1 : 0);
    d->setIntegerValueField(kFieldFixed123, 1);
    d->setDoubleValueField(kFieldFixed119, 0.0);
    d->setDoubleValueField(kFieldSwipeVelocityX, forward ? 80.0 : -80.0);
    d->setDoubleValueField(kFieldFixed130, 0.0);
    d->setDoubleValueField(kFieldFixed139, kSmallestSubnormalFloat);

    poster_.post(*b, EventPoster::kSessionEventTap, displayID);
    poster_.post(*a, EventPoster::kSessionEventTap, displayID);
    poster_.post(*d, EventPoster::kSessionEventTap, displayID);
    poster_.post(*c, EventPoster::kSessionEventTap, displayID);
}

} // namespace tidemark
