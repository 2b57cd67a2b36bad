#include "app/AppDelegate.h"
#include "main/Commands.h"
#include "main/LiveDesktop.h"
#include "platform/linux/PollMainQueue.h"
#include "statusbar/DesktopSwitcher.h"

#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>

namespace tidemark::cli {
namespace {

// How long the window manager may take to show the target after the last step, and how
// often we look: a live manager answers within a frame or two.
constexpr TimeSeconds kConfirmTimeout = 0.8;
constexpr TimeSeconds kConfirmInterval = 0.02;

// {"display", "steps", "direction", "method"}; no steps and no direction when the space is
// current.
nlohmann::ordered_json planReport(const std::string& displayID,
                                  const std::optional<SwitchPlan>& plan, SwitchMethod method) {
    return {{"display", displayID},
            {"steps", plan ? plan->steps : 0},
            {"direction", plan ? nlohmann::ordered_json(plan->forward ? "forward" : "backward")
                               : nlohmann::ordered_json(nullptr)},
            {"method", method == SwitchMethod::Direct ? "direct" : "gestures"}};
}

// Switches `platform`'s desktop to the space `spaceID` and waits until it shows.
template <typename Platform>
int switchTo(Platform& platform, linux_platform::PollMainQueue& mainQueue,
             const std::string& spaceID) {
    auto delegate = AppDelegate::create(platform.services());
    delegate->applicationDidFinishLaunching();
    const auto& spaces = delegate->latestSpaces();
    const auto target = std::find_if(spaces.begin(), spaces.end(),
                                     [&](const Space& s) { return s.spaceID == spaceID; });
    if (target == spaces.end()) {
        std::cerr << "tidemark switch: no space with id '" << spaceID << "' on this desktop\n";
        return kExitUsage;
    }

    bool refused = false;
    auto& windowServer = platform.windowServer;
    auto switcher = DesktopSwitcher::create(mainQueue, platform.poster, windowServer,
                                            [&refused] { refused = true; });
    const auto plan = switcher->switchToSpace(spaces, *target);
    if (refused) {
        std::cerr << "tidemark switch: the window manager does not accept desktop switches\n";
        return kExitFailure;
    }
    std::cout << planReport(target->displayID, plan, switcher->method()).dump() << std::endl;
    if (target->isCurrentSpace)
        return kExitOk;
    if (!plan) {
        std::cerr << "tidemark switch: the window manager refused the switch to space '" << spaceID
                  << "'\n";
        return kExitFailure;
    }

    const auto targetIsCurrent = [&] {
        const auto displays = windowServer.displays();
        return displays && showsCurrentSpace(*displays, target->displayID, target->spaceID);
    };
    // Ticks that wake the queue to look again; nothing else tells it the desktop changed.
    const auto ticks = mainQueue.scheduleRepeatingTimer(kConfirmInterval, 0, [] {});
    if (!mainQueue.runUntil(targetIsCurrent, kConfirmTimeout)) {
        std::cerr << "tidemark switch: the desktop did not change: space '" << spaceID
                  << "' is not current on display '" << target->displayID << "' " << kConfirmTimeout
                  << " s after the request (is the window manager running?)\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

int runSwitch(Invocation call) {
    linux_platform::PollMainQueue mainQueue;
    return onLiveDesktop(
        mainQueue, "switch", linux_platform::Lifetime::OneShot,
        [&](auto& platform) { return switchTo(platform, mainQueue, call.words.front()); });
}

} // namespace tidemark::cli
