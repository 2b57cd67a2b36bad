// A long, busy session replayed in virtual time through the sim platform: space switches,
// apps launched and quit (each with a new pid, as in life), activations, sleeps and wakes,
// session switches, appearance and settings changes, with the half-second window check
// running throughout. Memory and descriptors are read after the first hour, once caches are
// warm, and at the end; the run fails when either grew.
//
//   soak_driver SCENARIO [HOURS]
#include "app/AppDelegate.h"
#include "foundation/ValueJson.h"
#include "platform/sim/Replay.h"
#include "platform/sim/SimPlatform.h"
#include "preferences/SettingsKeys.h"

#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>

using namespace tidemark;
using sim::EventKind;
using sim::ScriptedEvent;

namespace {

struct Footprint {
    long residentKiB = 0;
    std::size_t heapBytes = 0;
    int descriptors = 0;
};

Footprint measure() {
    Footprint f;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:"))
            f.residentKiB = std::stol(line.substr(6));
    f.heapBytes = mallinfo2().uordblks;
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(fds))
            f.descriptors += entry->d_name[0] != '.';
        ::closedir(fds);
        --f.descriptors; // the directory being read
    }
    return f;
}

Value window(std::int64_t number, std::int32_t pid, std::int64_t space) {
    ValueDictionary bounds{
        {"X", Value(40)}, {"Y", Value(40)}, {"Width", Value(800)}, {"Height", Value(600)}};
    return ValueDictionary{{"kCGWindowLayer", Value(0)},
                           {"kCGWindowAlpha", Value(1.0)},
                           {"kCGWindowBounds", Value(std::move(bounds))},
                           {"kCGWindowNumber", Value(number)},
                           {"kCGWindowOwnerPID", Value(pid)},
                           {"kCGWindowIsOnscreen", Value(true)},
                           {"spaces", Value(ValueArray{Value(space)})}};
}

// The scenario's own window-server answers, which the day's scripted events rewrite.
Value scenarioMember(const char* path, const char* member) {
    std::ifstream in(path);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const Value document = valueFromJson(parseJson(text));
    const Value* found = document.find(member);
    return found ? *found : Value(ValueArray{});
}

// Writes a day of events against the scenario's first display, from a fixed seed so every
// run replays the same day.
class BusyDay {
public:
    BusyDay(const sim::Scenario& scenario, const char* path)
        : baseApps_(scenario.apps), baseWindows_(*scenarioMember(path, "windows").asArray()),
          displays_(scenarioMember(path, "displays")) {
        for (const auto& space : *displays_.asArray()->front().find("Spaces")->asArray())
            spaces_.push_back(*space.find("ManagedSpaceID")->asInteger());
    }

    std::vector<ScriptedEvent> events(double seconds) {
        std::vector<ScriptedEvent> out;
        double nextSleep = 2 * 3600;
        for (double at = 1; at < seconds; at += pick(2, 30)) {
            if (at >= nextSleep) {
                // The lid closes for twenty minutes, the session is left and resumed.
                add(out, at, EventKind::ScreensSlept);
                add(out, at + 1, EventKind::SessionResigned);
                at += 1200;
                add(out, at, EventKind::SessionActivated);
                add(out, at + 1, EventKind::ScreensWoke);
                nextSleep += 2 * 3600 + pick(0, 1800);
                continue;
            }
            const int roll = pick(0, 99);
            if (roll < 40)
                switchSpace(out, at);
            else if (roll < 52)
                launch(out, at);
            else if (roll < 62)
                quit(out, at);
            else if (roll < 80)
                appEvent(out, at);
            else if (roll < 87)
                changeSetting(out, at);
            else if (roll < 90)
                toggleAppearance(out, at);
            else if (roll < 94)
                add(out, at, EventKind::RefreshRequested);
            else if (roll < 97)
                add(out, at, EventKind::ScreenParametersChanged);
            else
                add(out, at, EventKind::MemoryPressure);
        }
        return out;
    }

private:
    struct Launched {
        std::int32_t pid;
        std::string bundleIdentifier;
        std::int64_t space;
    };

    int pick(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }

    static ScriptedEvent& add(std::vector<ScriptedEvent>& out, double at, EventKind kind,
                              std::int32_t pid = 0) {
        ScriptedEvent event;
        event.at = at;
        event.kind = kind;
        event.pid = pid;
        out.push_back(std::move(event));
        return out.back();
    }

    void switchSpace(std::vector<ScriptedEvent>& out, double at) {
        auto list = *displays_.asArray();
        auto first = *list.front().asDictionary();
        const auto space = spaces_[std::size_t(pick(0, int(spaces_.size()) - 1))];
        first.insert_or_assign("Current Space",
                               Value(ValueDictionary{{"ManagedSpaceID", Value(space)}}));
        list.front() = Value(std::move(first));
        displays_ = Value(std::move(list));
        add(out, at, EventKind::SetDisplays).value = displays_;
        add(out, at, EventKind::ActiveSpaceChanged);
    }

    void publishWorld(std::vector<ScriptedEvent>& out, double at) {
        auto apps = baseApps_;
        auto windows = baseWindows_;
        for (const auto& app : launched_) {
            sim::App entry;
            entry.application.pid = app.pid;
            entry.application.bundleIdentifier = app.bundleIdentifier;
            entry.application.localizedName = "App " + std::to_string(app.pid);
            entry.application.bundlePath = "/Applications/" + app.bundleIdentifier + ".app";
            apps.push_back(std::move(entry));
            windows.push_back(window(100000 + app.pid, app.pid, app.space));
        }
        add(out, at, EventKind::SetApps).apps = std::move(apps);
        add(out, at, EventKind::SetWindows).value = Value(std::move(windows));
    }

    void launch(std::vector<ScriptedEvent>& out, double at) {
        if (launched_.size() >= 12)
            return quit(out, at);
        const auto pid = nextPid_++;
        launched_.push_back({pid, "org.example.app" + std::to_string(pid % 40),
                             spaces_[std::size_t(pick(0, int(spaces_.size()) - 1))]});
        publishWorld(out, at);
        add(out, at, EventKind::AppLaunched, pid);
        add(out, at + 0.2, EventKind::AppActivated, pid);
    }

    void quit(std::vector<ScriptedEvent>& out, double at) {
        if (launched_.empty())
            return launch(out, at);
        const auto index = std::size_t(pick(0, int(launched_.size()) - 1));
        const auto gone = launched_[index];
        launched_.erase(launched_.begin() + std::ptrdiff_t(index));
        publishWorld(out, at);
        add(out, at, EventKind::AppTerminated, gone.pid).bundleIdentifier = gone.bundleIdentifier;
    }

    void appEvent(std::vector<ScriptedEvent>& out, double at) {
        if (launched_.empty())
            return launch(out, at);
        static constexpr EventKind kinds[] = {EventKind::AppActivated, EventKind::AppDeactivated,
                                              EventKind::AppHidden, EventKind::AppUnhidden};
        const auto& app = launched_[std::size_t(pick(0, int(launched_.size()) - 1))];
        add(out, at, kinds[pick(0, 3)], app.pid);
    }

    void changeSetting(std::vector<ScriptedEvent>& out, double at) {
        auto& event = add(out, at, EventKind::SetSetting);
        switch (pick(0, 2)) {
        case 0:
            // Mostly the opened-apps style, whose timer is the busiest path.
            event.key = settings::kDisplayStyle;
            event.value = pick(0, 2) == 0 ? Value(pick(0, 3)) : Value(settings::kOpenedAppsStyle);
            break;
        case 1:
            event.key = settings::kUseHighContrastBorders;
            event.value = Value(pick(0, 1) == 1);
            break;
        default:
            event.key = settings::kActiveSpaceColor;
            event.value =
                Value(ValueArray{Value(pick(0, 100) / 100.0), Value(0.5), Value(1.0), Value(1.0)});
            break;
        }
        add(out, at, EventKind::ButtonPressed);
    }

    void toggleAppearance(std::vector<ScriptedEvent>& out, double at) {
        dark_ = !dark_;
        add(out, at, EventKind::SetAppearance).appearance =
            dark_ ? Appearance::Dark : Appearance::Light;
    }

    std::mt19937 random_{20261206};
    std::vector<sim::App> baseApps_;
    ValueArray baseWindows_;
    Value displays_;
    std::vector<std::int64_t> spaces_;
    std::vector<Launched> launched_;
    std::int32_t nextPid_ = 10000;
    bool dark_ = false;
};

void print(const char* when, double hours, const Footprint& f) {
    std::printf("%-5s %5.1f h  resident %7ld KiB  heap %9zu B  descriptors %d\n", when, hours,
                f.residentKiB, f.heapBytes, f.descriptors);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: soak_driver SCENARIO [HOURS]\n");
        return 2;
    }
    const double hours = argc > 2 ? std::stod(argv[2]) : 24;
    const auto scenario = sim::loadScenario(argv[1]);
    const auto events = BusyDay(scenario, argv[1]).events(hours * 3600);

    sim::SimPlatform platform(scenario);
    auto delegate = AppDelegate::create(platform.services());
    auto& observer = delegate->spaceObserver();
    long refreshes = 0;
    observer.setRefreshListener([&](bool) { ++refreshes; });
    delegate->applicationDidFinishLaunching();

    const auto started = std::chrono::steady_clock::now();
    std::optional<Footprint> start;
    for (const auto& event : events) {
        platform.mainQueue.runUntil(event.at);
        if (!start && event.at >= 3600) {
            malloc_trim(0);
            start = measure();
            print("start", 1, *start);
        }
        sim::applyEvent(event, platform, observer);
        platform.mainQueue.runPending();
    }
    platform.mainQueue.runUntil(hours * 3600);
    malloc_trim(0);
    const auto end = measure();
    print("end", hours, end);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
    std::printf("%zu events, %ld refreshes, %.1f s of wall time\n", events.size(), refreshes,
                wall.count());
    observer.setRefreshListener({});

    if (!start)
        return 0;
    // Allocator slack aside, a day of use must leave nothing behind.
    const bool grew = end.descriptors > start->descriptors ||
                      end.heapBytes > start->heapBytes + 256 * 1024 ||
                      end.residentKiB > start->residentKiB + 2048;
    if (grew)
        std::printf("soak: memory or descriptors grew\n");
    return grew ? 1 : 0;
}
