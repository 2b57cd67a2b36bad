#include "app/AppDelegate.h"
#include "main/Commands.h"
#include "main/LinuxPlatform.h"
#include "statusbar/DesktopSwitcher.h"

#include <algorithm>
#include <iostream>
#include <optional>

namespace tidemark::cli {

namespace {

// Long enough for the steps of any desktop count the window managers allow.
constexpr TimeSeconds kPostingTimeout = 30;

} // namespace

int runSwitch(const Arguments& args) {
    if (auto unknown = args.unknownOption({})) {
        std::cerr << "tidemark switch: unknown option '" << *unknown << "'\n";
        return kExitUsage;
    }
    const auto positional = args.positional({});
    if (positional.size() != 1) {
        std::cerr << "tidemark switch: expected one SPACE_ID (see tidemark snapshot)\n";
        return kExitUsage;
    }
    const auto& spaceID = positional.front();

    std::string error;
    auto platform = LinuxPlatform::open(error);
    if (!platform) {
        std::cerr << "tidemark switch: " << error << "\n";
        return kExitFailure;
    }
    auto delegate = AppDelegate::create(platform->services());
    delegate->applicationDidFinishLaunching();
    const auto& spaces = delegate->latestSpaces();
    const auto target = std::find_if(spaces.begin(), spaces.end(),
                                     [&](const Space& s) { return s.spaceID == spaceID; });
    if (target == spaces.end()) {
        std::cerr << "tidemark switch: no space with id '" << spaceID << "' on this desktop\n";
        return kExitUsage;
    }

    // The gestures the switch will post: one per space between the display's current space
    // and the target.
    std::vector<std::string> displaySpaces;
    std::optional<std::size_t> current;
    for (const auto& space : spaces) {
        if (space.displayID != target->displayID)
            continue;
        if (space.isCurrentSpace && !current)
            current = displaySpaces.size();
        displaySpaces.push_back(space.spaceID);
    }
    const auto wanted = static_cast<std::size_t>(
        std::find(displaySpaces.begin(), displaySpaces.end(), spaceID) - displaySpaces.begin());
    const int steps =
        current ? static_cast<int>(std::max(wanted, *current) - std::min(wanted, *current)) : 0;

    bool refused = false;
    auto switcher = DesktopSwitcher::create(platform->mainQueue, platform->poster,
                                            [&refused] { refused = true; });
    switcher->switchToSpace(spaces, *target);
    if (refused) {
        std::cerr << "tidemark switch: the window manager does not accept desktop switches\n";
        return kExitFailure;
    }
    // Other work keeps the queue busy (the observer's timer), so wait for the steps alone.
    auto& poster = platform->poster;
    if (!platform->mainQueue.runUntil([&] { return poster.stepsTaken() >= steps; },
                                      kPostingTimeout)) {
        std::cerr << "tidemark switch: the switch did not finish in time\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace tidemark::cli
