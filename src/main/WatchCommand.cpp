#include "app/AppDelegate.h"
#include "main/Commands.h"
#include "main/LiveDesktop.h"
#include "main/SnapshotReport.h"
#include "platform/linux/FdWatcher.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/keys/LinuxShortcuts.h"
#include "platform/linux/settings/FileSettingsStore.h"
#include "platform/sim/LayeredSettingsStore.h"
#include "platform/sim/SimPlatform.h"

#include <iostream>
#include <type_traits>

namespace tidemark::cli {
namespace {

// Longer than anyone watches; the loop ends on a signal or when the X server goes.
constexpr TimeSeconds kForever = 1e9;

// Runs the app over `services` until `stopping`, printing one line per refresh.
// `shortcuts`, when there are any, are bound at launch like the app's.
int watch(SpaceObserverServices services, linux_platform::PollMainQueue& mainQueue,
          const bool& stopping, const std::function<void()>& startEvents,
          std::shared_ptr<KeyBindings::ShortcutCenter> shortcuts = {}) {
    auto delegate = AppDelegate::create(services);
    if (shortcuts)
        delegate->setShortcuts(std::move(shortcuts));
    auto& observer = delegate->spaceObserver();
    observer.setRefreshListener([&](bool published) {
        const auto line = published ? snapshotReport(true, observer.previousSpaceSignature(),
                                                     delegate->latestSpaces(), services.settings)
                                    : nlohmann::ordered_json{{"published", false}};
        std::cout << line.dump() << std::endl;
    });
    delegate->applicationDidFinishLaunching();
    startEvents();
    mainQueue.runUntil([&] { return stopping; }, kForever);
    observer.setRefreshListener({});
    return kExitOk;
}

} // namespace

int runWatch(Invocation call) {

    linux_platform::PollMainQueue mainQueue;
    bool stopping = false;
    // Before anything starts a thread, so that every thread leaves the signals to it.
    const linux_platform::TerminationSignals signals(mainQueue, [&](int) { stopping = true; });

    if (call.scenario) {
        // The scenario's desktop in real time, under the real settings file: a
        // `tidemark defaults write` reaches it, and its own writes stay in memory.
        linux_platform::FileSettingsStore file(
            linux_platform::FileSettingsStore::defaultLocation());
        linux_platform::FdWatcher fileWatcher(mainQueue, file);
        sim::LayeredSettingsStore settings(call.scenario->settings, file);
        sim::ScenarioPorts ports(*call.scenario, mainQueue, settings);
        return watch(ports.services(), mainQueue, stopping, [] {});
    }
    return onLiveDesktop(mainQueue, "watch", linux_platform::Lifetime::Session,
                         [&](auto& platform) {
                             std::unique_ptr<linux_platform::LinuxShortcuts> keys;
                             // Hot keys are X key grabs: an X11 desktop's only. A refused grab is
                             // reported on standard error, as the app reports it.
                             if constexpr (std::is_same_v<std::decay_t<decltype(platform)>,
                                                          linux_platform::LinuxPlatform>)
                                 keys = linux_platform::LinuxShortcuts::open(
                                     mainQueue, platform.settings, platform.defaultCenter);
                             return watch(
                                 platform.services(), mainQueue, stopping,
                                 [&] { platform.startObserving(); }, keys ? keys->center : nullptr);
                         });
}

} // namespace tidemark::cli
