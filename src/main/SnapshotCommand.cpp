#include "app/AppDelegate.h"
#include "main/Commands.h"
#include "main/LinuxPlatform.h"
#include "main/ScenarioLoading.h"
#include "main/SnapshotReport.h"
#include "platform/sim/SimPlatform.h"

#include <iostream>

namespace tidemark::cli {
namespace {

int snapshotOfScenario(const std::string& file) {
    auto scenario = loadScenarioOrReport(file);
    if (!scenario)
        return kExitUsage;
    sim::SimPlatform platform(std::move(*scenario));
    auto delegate =
        AppDelegate::create({platform.mainQueue, platform.settings, platform.windowServer,
                             platform.workspace, platform.defaultCenter});
    delegate->applicationDidFinishLaunching();
    const bool published = delegate->snapshotCount() > 0;
    std::cout << snapshotReport(published, delegate->spaceObserver().previousSpaceSnapshot(),
                                delegate->latestSpaces(), platform.settings)
                     .dump(2)
              << "\n";
    return kExitOk;
}

int snapshotOfLiveDesktop() {
    std::string error;
    auto platform = LinuxPlatform::open(error);
    if (!platform) {
        std::cerr << "tidemark snapshot: " << error << "\n";
        return kExitFailure;
    }
    auto delegate = AppDelegate::create(platform->services());
    delegate->applicationDidFinishLaunching();
    const bool published = delegate->snapshotCount() > 0;
    std::cout << snapshotReport(published, delegate->spaceObserver().previousSpaceSnapshot(),
                                delegate->latestSpaces(), platform->settings)
                     .dump(2)
              << "\n";
    return kExitOk;
}

} // namespace

int runSnapshot(const Arguments& args) {
    if (auto unknown = args.unknownOption({"--scenario"})) {
        std::cerr << "tidemark snapshot: unknown option '" << *unknown << "'\n";
        return kExitUsage;
    }
    if (auto file = args.option("--scenario"))
        return snapshotOfScenario(*file);
    return snapshotOfLiveDesktop();
}

} // namespace tidemark::cli
