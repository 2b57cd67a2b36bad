#include "app/AppDelegate.h"
#include "main/Commands.h"
#include "main/LiveDesktop.h"
#include "main/SnapshotReport.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/sim/SimPlatform.h"

#include <iostream>

namespace tidemark::cli {
namespace {

// Launches the app over `services` and prints what its first refresh gave.
int printFirstSnapshot(SpaceObserverServices services) {
    auto delegate = AppDelegate::create(services);
    delegate->applicationDidFinishLaunching();
    const bool published = delegate->snapshotCount() > 0;
    std::cout << snapshotReport(published, delegate->spaceObserver().previousSpaceSignature(),
                                delegate->latestSpaces(), services.settings)
                     .dump(2)
              << "\n";
    return kExitOk;
}

} // namespace

int runSnapshot(Invocation call) {
    if (call.scenario) {
        sim::SimPlatform platform(std::move(*call.scenario));
        return printFirstSnapshot(platform.services());
    }
    linux_platform::PollMainQueue mainQueue;
    return onLiveDesktop(mainQueue, "snapshot", linux_platform::Lifetime::OneShot,
                         [](auto& platform) { return printFirstSnapshot(platform.services()); });
}

} // namespace tidemark::cli
