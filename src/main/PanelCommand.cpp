#include "app/AppDelegate.h"
#include "main/Commands.h"
#include "main/LiveDesktop.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/sim/SimPlatform.h"
#include "popover/PopoverModelJson.h"

#include <iomanip>
#include <iostream>

namespace tidemark::cli {
namespace {

void printApps(std::ostream& out, const std::vector<SpaceAppDetail>& apps,
               const MemoryMap& memory) {
    for (const auto& app : apps) {
        const auto bytes = memory.find(app.pid);
        out << "  " << std::left << std::setw(28) << app.appName << std::right << std::setw(8)
            << app.pid << std::setw(12)
            << (bytes == memory.end() ? std::string("-")
                                      : MemoryProvider::formatBytes(bytes->second))
            << "\n";
    }
}

void printTable(std::ostream& out, const SpacePopoverViewModel& model) {
    const Space& space = *model.space();
    out << "Space " << space.spaceID << " (" << space.spaceName << ")\n";
    if (space.appDetails.empty())
        out << "  No apps on this space\n";
    printApps(out, space.appDetails, model.appMemoryMap());
    out << "Other Desktops\n";
    printApps(out, model.otherApps(), model.otherAppMemoryMap());
    if (const auto& memory = model.systemMemory())
        out << "Memory used " << MemoryProvider::formatBytes(memory->used) << ", apps "
            << MemoryProvider::formatBytes(memory->appMemory) << "\n";
}

// Launches the app over the platform's ports and prints what the hover panel of `spaceID`
// shows under the current settings.
template <typename Platform> int printPanel(Platform& platform, const Invocation& call) {
    auto delegate = AppDelegate::create(platform.services());
    delegate->applicationDidFinishLaunching();
    const std::string& spaceID = call.words.front();
    const auto& spaces = delegate->latestSpaces();
    const auto space = std::find_if(spaces.begin(), spaces.end(),
                                    [&](const Space& s) { return s.spaceID == spaceID; });
    if (space == spaces.end()) {
        std::cerr << "tidemark panel: no space '" << spaceID
                  << "' (tidemark snapshot lists the spaces)\n";
        return kExitUsage;
    }
    const auto model = SpacePopoverViewModel::create(platform.popoverServices());
    model->setSpace(*space);
    model->updateMemory(*space);
    model->updateOtherApps(*space, spaces, true);
    if (!call.flag("--json")) {
        printTable(std::cout, *model);
        return kExitOk;
    }
    auto fields = popoverModelFields(*model);
    nlohmann::ordered_json names = nlohmann::ordered_json::object();
    for (const auto* apps : {&model->space()->appDetails, &model->otherApps()})
        for (const auto& app : *apps)
            names[std::to_string(app.pid)] = app.appName;
    fields["names"] = std::move(names);
    std::cout << fields.dump(2) << "\n";
    return kExitOk;
}

} // namespace

int runPanel(Invocation call) {
    if (call.scenario) {
        sim::SimPlatform platform(std::move(*call.scenario));
        return printPanel(platform, call);
    }
    linux_platform::PollMainQueue mainQueue;
    return onLiveDesktop(mainQueue, "panel", linux_platform::Lifetime::OneShot,
                         [&](auto& platform) { return printPanel(platform, call); });
}

} // namespace tidemark::cli
