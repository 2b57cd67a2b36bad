#include "app/AppDelegate.h"
#include "foundation/Text.h"
#include "main/Commands.h"
#include "main/LiveDesktop.h"
#include "main/SnapshotReport.h"
#include "main/bars/BarLabels.h"
#include "main/bars/PangoMarkup.h"
#include "main/bars/PolybarFormat.h"
#include "main/bars/WaybarFormat.h"
#include "platform/linux/FdWatcher.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/keys/LinuxShortcuts.h"
#include "platform/linux/settings/AutostartEntry.h"
#include "platform/linux/settings/FileSettingsStore.h"
#include "platform/sim/LayeredSettingsStore.h"
#include "platform/sim/SimPlatform.h"
#include "spaces/SpaceAppsLookup.h"

#include <algorithm>
#include <iostream>
#include <type_traits>

namespace tidemark::cli {
namespace {

// Longer than anyone watches; the loop ends on a signal or when the X server goes.
constexpr TimeSeconds kForever = 1e9;

enum class BarFormat { Json, Waybar, Polybar, I3blocks };

struct WatchOptions {
    // None: a JSON line per refresh, published or not.
    std::optional<BarFormat> format;
    std::optional<std::string> output;
    // What a polybar action runs, followed by "switch ID".
    std::string program;
};

// The argument check has let only the four names through.
std::optional<BarFormat> barFormat(const std::optional<std::string>& name) {
    if (!name)
        return std::nullopt;
    if (*name == "json")
        return BarFormat::Json;
    if (*name == "waybar")
        return BarFormat::Waybar;
    if (*name == "polybar")
        return BarFormat::Polybar;
    return BarFormat::I3blocks;
}

// The line a bar format shows of the latest snapshot.
class BarLines {
public:
    BarLines(const WatchOptions& options, SpaceObserverServices services)
        : options_(options), services_(services) {
        if (options.format == BarFormat::Waybar)
            apps_.emplace(services.windowServer, services.workspace, services.settings,
                          services.imageScaler);
    }

    std::string line(const std::vector<Space>& all, const std::string& signature) {
        std::vector<Space> spaces;
        std::copy_if(all.begin(), all.end(), std::back_inserter(spaces), [&](const Space& space) {
            return !options_.output || space.displayID == *options_.output;
        });
        switch (*options_.format) {
        case BarFormat::Json:
            return snapshotReport(true, signature, spaces, services_.settings).dump();
        case BarFormat::Waybar:
            // The tooltip lists apps in every style, as the hover panel does.
            return bars::waybarLine(bars::barDisplays(apps_->withApps(std::move(spaces))));
        case BarFormat::Polybar:
            return bars::polybarLine(bars::barDisplays(spaces), options_.program + " switch");
        case BarFormat::I3blocks:
            return bars::pangoLabels(bars::barDisplays(spaces));
        }
        return {};
    }

private:
    const WatchOptions& options_;
    SpaceObserverServices services_;
    std::optional<SpaceAppsLookup> apps_;
};

// Runs the app over `services` until `stopping`, printing one line per refresh, or in a bar
// format one line per change of what it shows. `shortcuts`, when there are any, are bound at
// launch like the app's.
int watch(SpaceObserverServices services, linux_platform::PollMainQueue& mainQueue, bool& stopping,
          const std::function<void()>& startEvents, const WatchOptions& options,
          std::shared_ptr<KeyBindings::ShortcutCenter> shortcuts = {}) {
    auto delegate = AppDelegate::create(services);
    if (shortcuts)
        delegate->setShortcuts(std::move(shortcuts));
    auto& observer = delegate->spaceObserver();
    int status = kExitOk;
    std::optional<BarLines> bar;
    if (options.format)
        bar.emplace(options, services);
    bool snapshotSeen = false;
    std::optional<std::string> lastLine;
    observer.setRefreshListener([&](bool published) {
        if (!bar) {
            const auto line = published
                                  ? snapshotReport(true, observer.previousSpaceSignature(),
                                                   delegate->latestSpaces(), services.settings)
                                  : nlohmann::ordered_json{{"published", false}};
            std::cout << line.dump() << std::endl;
            return;
        }
        // Nothing to show before the first snapshot; the output named is checked against it.
        snapshotSeen = snapshotSeen || published;
        if (!snapshotSeen || stopping)
            return;
        const auto& spaces = delegate->latestSpaces();
        if (options.output && !lastLine) {
            std::vector<std::string> outputs;
            for (const auto& space : spaces)
                if (std::find(outputs.begin(), outputs.end(), space.displayID) == outputs.end())
                    outputs.push_back(space.displayID);
            if (std::find(outputs.begin(), outputs.end(), *options.output) == outputs.end()) {
                std::string known;
                for (const auto& output : outputs)
                    known += (known.empty() ? "" : ", ") + ("'" + output + "'");
                std::cerr << "tidemark watch: no output '" << text::printable(*options.output)
                          << "'; "
                          << (known.empty() ? "there are none"
                                            : "the outputs are " + text::printable(known))
                          << std::endl;
                status = kExitUsage;
                stopping = true;
                return;
            }
        }
        auto line = bar->line(spaces, observer.previousSpaceSignature());
        if (line == lastLine)
            return;
        std::cout << line << std::endl;
        lastLine = std::move(line);
    });
    delegate->applicationDidFinishLaunching();
    startEvents();
    mainQueue.runUntil([&] { return stopping; }, kForever);
    observer.setRefreshListener({});
    return status;
}

} // namespace

int runWatch(Invocation call) {
    const WatchOptions options{
        .format = barFormat(call.option("--format")),
        .output = call.option("--output"),
        .program = linux_platform::shellCommandName(
            linux_platform::AutostartLoginItem::runningExecutable(),
            linux_platform::AutostartSession::current({}).findProgram),
    };
    if (options.output && !options.format) {
        std::cerr << "tidemark watch: --output goes with --format" << std::endl;
        return kExitUsage;
    }

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
        return watch(
            ports.services(), mainQueue, stopping, [] {}, options);
    }
    return onLiveDesktop(
        mainQueue, "watch", linux_platform::Lifetime::Session, [&](auto& platform) {
            // A bar's module only reads: the refresh shortcut stays the app's, which a grab
            // here would take away while the bar starts first, or fail to get beside it. The
            // plain watch binds it like the app (hot keys are X key grabs: an X11 desktop's
            // only), and a refused grab is reported on standard error, as the app reports it.
            std::unique_ptr<linux_platform::LinuxShortcuts> keys;
            if constexpr (std::is_same_v<std::decay_t<decltype(platform)>,
                                         linux_platform::LinuxPlatform>)
                if (!options.format)
                    keys = linux_platform::LinuxShortcuts::open(mainQueue, platform.settings,
                                                                platform.defaultCenter);
            return watch(
                platform.services(), mainQueue, stopping, [&] { platform.startObserving(); },
                options, keys ? keys->center : nullptr);
        });
}

} // namespace tidemark::cli
