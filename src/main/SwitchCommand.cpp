#include "app/AppDelegate.h"
#include "main/Commands.h"
#include "main/ScenarioLoading.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/PollMainQueue.h"
#include "statusbar/DesktopSwitcher.h"

#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>

namespace tidemark::cli {
namespace {

// Long enough for the steps of any desktop count the window managers allow.
constexpr TimeSeconds kPostingTimeout = 30;
// How long the window manager may take to show the target after the last step, and how
// often we look: a live manager answers within a frame or two.
constexpr TimeSeconds kConfirmTimeout = 0.8;
constexpr TimeSeconds kConfirmInterval = 0.02;

// {"display", "steps", "direction"}; no steps and no direction when the space is current.
nlohmann::ordered_json planReport(const std::string& displayID,
                                  const std::optional<SwitchPlan>& plan) {
    return {{"display", displayID},
            {"steps", plan ? plan->steps : 0},
            {"direction", plan ? nlohmann::ordered_json(plan->forward ? "forward" : "backward")
                               : nlohmann::ordered_json(nullptr)}};
}

} // namespace

int runSwitch(Invocation call) {
    const auto& spaceID = call.words.front();

    linux_platform::PollMainQueue mainQueue;
    auto platform = openLiveDesktopOrReport(mainQueue, "switch",
                                            linux_platform::LinuxPlatform::Lifetime::OneShot);
    if (!platform)
        return kExitFailure;
    auto delegate = AppDelegate::create(platform->services());
    delegate->applicationDidFinishLaunching();
    const auto& spaces = delegate->latestSpaces();
    const auto target = std::find_if(spaces.begin(), spaces.end(),
                                     [&](const Space& s) { return s.spaceID == spaceID; });
    if (target == spaces.end()) {
        std::cerr << "tidemark switch: no space with id '" << spaceID << "' on this desktop\n";
        return kExitUsage;
    }

    bool refused = false;
    auto switcher =
        DesktopSwitcher::create(mainQueue, platform->poster, [&refused] { refused = true; });
    const auto plan = switcher->switchToSpace(spaces, *target);
    if (refused) {
        std::cerr << "tidemark switch: the window manager does not accept desktop switches\n";
        return kExitFailure;
    }
    // Other work keeps the queue busy (the observer's timer), so wait for the steps alone.
    const int steps = plan ? plan->steps : 0;
    auto& poster = platform->poster;
    if (!mainQueue.runUntil([&] { return poster.stepsTaken() >= steps; }, kPostingTimeout)) {
        std::cerr << "tidemark switch: the switch did not finish in time\n";
        return kExitFailure;
    }
    std::cout << planReport(target->displayID, plan).dump() << std::endl;
    if (!plan)
        return kExitOk;

    auto& windowServer = platform->windowServer;
    const auto targetIsCurrent = [&] {
        const auto answer = windowServer.copyManagedDisplaySpaces(windowServer.defaultConnection());
        return answer && showsCurrentSpace(*answer, target->displayID, target->spaceID);
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

} // namespace tidemark::cli
