#include "platform/sim/Replay.h"

#include "app/AppDelegate.h"
#include "app/PopoverViewModelContent.h"
#include "platform/sim/HeadlessApp.h"
#include "platform/sim/SimPlatform.h"
#include "popover/PopoverModelJson.h"
#include "popover/SpacePopoverViewModel.h"
#include "preferences/SettingsKeys.h"

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

namespace tidemark::sim {
namespace {

// The workspace event a scripted event stands for, if any.
std::optional<WorkspaceEventKind> workspaceEventKind(EventKind kind) {
    using Posted = WorkspaceEventKind;
    switch (kind) {
    case EventKind::ActiveSpaceChanged:
        return Posted::ActiveSpaceChanged;
    case EventKind::AppLaunched:
        return Posted::AppLaunched;
    case EventKind::AppHidden:
        return Posted::AppHidden;
    case EventKind::AppUnhidden:
        return Posted::AppUnhidden;
    case EventKind::AppActivated:
        return Posted::AppActivated;
    case EventKind::AppDeactivated:
        return Posted::AppDeactivated;
    case EventKind::AppTerminated:
        return Posted::AppTerminated;
    case EventKind::ScreensSlept:
        return Posted::ScreensSlept;
    case EventKind::ScreensWoke:
        return Posted::ScreensWoke;
    case EventKind::SessionResigned:
        return Posted::SessionResigned;
    case EventKind::SessionActivated:
        return Posted::SessionBecameActive;
    case EventKind::ScreenParametersChanged:
        return Posted::ScreenParametersChanged;
    default:
        return std::nullopt;
    }
}

} // namespace

void applyEvent(const sim::ScriptedEvent& event, sim::SimPlatform& platform,
                SpaceObserver& observer) {
    // The headless app's events reach only the headless app.
    if (sim::isInteraction(event.kind))
        return;
    auto& events = platform.workspace.events();
    switch (event.kind) {
    case EventKind::AppLaunched:
    case EventKind::AppHidden:
    case EventKind::AppUnhidden:
    case EventKind::AppActivated:
    case EventKind::AppDeactivated: {
        const auto app = platform.workspace.runningApplication(event.pid);
        events.post({*workspaceEventKind(event.kind),
                     EventApp{event.pid, app ? app->bundleIdentifier : std::nullopt}});
        return;
    }
    case EventKind::AppTerminated:
        events.post(
            {WorkspaceEventKind::AppTerminated, EventApp{event.pid, event.bundleIdentifier}});
        return;
    case EventKind::ButtonPressed:
        platform.defaultCenter.post(settings::kButtonPressedNotification);
        return;
    case EventKind::MemoryPressure:
        platform.memoryPressure.raiseWarning();
        return;
    case EventKind::RefreshRequested:
        observer.updateSpaceInformation();
        return;
    case EventKind::SetSetting:
        platform.settings.set(event.key, event.value.value_or(Value()));
        return;
    case EventKind::SetAppearance:
        platform.workspace.setAppearance(event.appearance);
        events.post({WorkspaceEventKind::AppearanceChanged});
        return;
    case EventKind::SetDisplays:
        platform.windowServer.setDisplays(event.value);
        return;
    case EventKind::SetWindows:
        platform.windowServer.setWindows(event.value);
        return;
    case EventKind::SetApps:
        platform.workspace.setApps(event.apps);
        return;
    case EventKind::KeyDown:
    case EventKind::KeyUp:
        platform.hotKeys.press(event.keyCode, event.modifiers, event.kind == EventKind::KeyDown);
        return;
    default:
        if (const auto kind = workspaceEventKind(event.kind))
            events.post({*kind});
        return;
    }
}

namespace {

using Kind = ReplayHappening::Kind;

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string quoted(const std::string& text) {
    return nlohmann::json(text).dump();
}

// JSON with a space after every colon and comma, as the replay lines are written.
std::string spaced(const nlohmann::ordered_json& json) {
    std::string out;
    if (json.is_object()) {
        out += "{";
        for (auto it = json.begin(); it != json.end(); ++it) {
            if (it != json.begin())
                out += ", ";
            out += quoted(it.key()) + ": " + spaced(it.value());
        }
        return out + "}";
    }
    if (json.is_array()) {
        out += "[";
        for (std::size_t i = 0; i < json.size(); ++i)
            out += (i ? ", " : "") + spaced(json[i]);
        return out + "]";
    }
    return json.dump();
}

// The members of an object other than "kind", as they follow "kind" in a line.
std::string membersAfterKind(nlohmann::ordered_json fields) {
    fields.erase("kind");
    const std::string text = spaced(fields);
    return text.size() > 2 ? text.substr(1, text.size() - 2) : std::string();
}

// Everything the interaction events drive, and the lines it produces.
class Interaction {
public:
    Interaction(sim::SimPlatform& platform, std::vector<ReplayHappening>& happenings)
        : platform_(platform), happenings_(happenings), app_(platform, [this] {
              model_ = SpacePopoverViewModel::create(platform_.popoverServices());
              return std::make_shared<PopoverViewModelContent>(model_);
          }) {
        app_.button->onImage = [this](const ImageRef& image) {
            const Size size = image ? image->size() : Size{};
            // Shown after the line of the refresh that made it.
            pendingImages_.push_back(
                {now(), Kind::Image, false,
                 "\"width\": " + fixed(size.width, 2) + ", \"height\": " + fixed(size.height, 2)});
        };
        app_.menu->onPopUp = [this](Point) { add(Kind::MenuOpened); };
        app_.alerts.onPresent = [this](const AlertContent& alert) {
            add(Kind::Alert, "\"title\": " + quoted(alert.messageText));
        };
        app_.poster.onPost = [this](const sim::SimEventPoster::Posted& posted) {
            // One line a gesture, at its swipe-ended event.
            const auto& event = posted.event;
            if (event.integerField(DesktopSwitcher::kFieldGesturePhase) !=
                DesktopSwitcher::kPhaseEnded)
                return;
            const bool forward =
                event.doubleField(DesktopSwitcher::kFieldSwipeProgress).value_or(0) > 0;
            add(Kind::Gesture, "\"displayID\": " + quoted(posted.display) +
                                   ", \"forward\": " + (forward ? "true" : "false"));
        };
        // A move back onto the glyph of the space shown is no move.
        app_.statusBar().setPanelListener({.opening = {},
                                           .shown =
                                               [this](const std::string& id) {
                                                   panelSpaceID_ = id;
                                                   addPanelLine(Kind::PanelShown, id);
                                               },
                                           .moved =
                                               [this](const std::string& id) {
                                                   if (id != panelSpaceID_)
                                                       addPanelLine(Kind::PanelMoved, id);
                                                   panelSpaceID_ = id;
                                               },
                                           .hidden = [this] { add(Kind::PanelHidden); }});
    }

    AppDelegate& delegate() { return *app_.delegate; }

    void refreshed() {
        for (auto& image : pendingImages_)
            happenings_.push_back(std::move(image));
        pendingImages_.clear();
    }

    // Lines for what the simulated system was asked since the last look.
    void collectActions() {
        const auto actions = platform_.actions.actions();
        for (; actionsSeen_ < actions.size(); ++actionsSeen_) {
            const auto& action = actions[actionsSeen_];
            const auto fields = sim::replayLineFields(action);
            if (!fields)
                continue;
            const auto kind = action.kind == sim::SimAction::Kind::QuitRequest ? Kind::QuitRequest
                              : action.kind == sim::SimAction::Kind::Signal    ? Kind::Signal
                              : action.kind == sim::SimAction::Kind::MoveRequest
                                  ? Kind::MoveRequest
                                  : Kind::SleepRequest;
            happenings_.push_back({action.at, kind, false, membersAfterKind(*fields)});
        }
    }

    void apply(const sim::ScriptedEvent& event) {
        using sim::EventKind;
        switch (event.kind) {
        case EventKind::PointerEntered:
            return app_.pointerEntered();
        case EventKind::PointerExited:
            return app_.pointerExited();
        case EventKind::PointerMoved:
            return app_.pointerMoved(event.point);
        case EventKind::PanelEntered:
            return app_.panelEntered();
        case EventKind::PanelExited:
            return app_.panelExited();
        case EventKind::MouseDown:
        case EventKind::MouseUp:
            app_.mouse(event.button,
                       event.kind == EventKind::MouseDown ? MouseAction::Down : MouseAction::Up,
                       event.point, event.mouseModifiers);
            return;
        case EventKind::Scroll:
            return app_.scroll(event.point, event.notches);
        case EventKind::Popover:
            return press(event);
        case EventKind::AlertButton:
            app_.alerts.answer(event.index);
            return;
        case EventKind::SetTrusted:
            return app_.poster.setTrusted(event.trusted);
        case EventKind::DumpModel:
            return add(Kind::Model, membersAfterKind(popoverModelFields(*model_)));
        case EventKind::RowDragged:
            return dragRow(event.pid);
        case EventKind::RowDropped:
            return app_.rowDropped();
        default:
            return;
        }
    }

private:
    double now() const { return platform_.mainQueue.now(); }
    void add(Kind kind, std::string members = {}) {
        happenings_.push_back({now(), kind, false, std::move(members)});
    }
    void addPanelLine(Kind kind, const std::string& spaceID) {
        const auto* window = app_.panelWindow();
        const double centerX = window ? window->frame().midX() - sim::kHeadlessButtonScreenX : 0;
        add(kind, "\"spaceID\": " + quoted(spaceID) + ", \"centerX\": " + fixed(centerX, 2));
    }

    // A control of the panel can be pressed only while the panel is on screen, also while
    // it fades out.
    void press(const sim::ScriptedEvent& event) {
        if (!app_.isPanelOnScreen())
            return;
        auto& model = *model_;
        switch (event.action) {
        case sim::PopoverAction::QuitApp:
            return model.quitApp(event.pid);
        case sim::PopoverAction::QuitAll:
            return model.quitAllClosableApps();
        case sim::PopoverAction::Scan:
            return model.scanResidualProcesses();
        case sim::PopoverAction::Clean:
            return model.terminateResidualProcess(event.pid);
        case sim::PopoverAction::CleanAll:
            return model.cleanAllResidualProcesses();
        case sim::PopoverAction::DismissResidual:
            return model.dismissResidualList();
        case sim::PopoverAction::Sleep:
            return model.sleepSystem();
        }
    }

    // Only a row the shown panel lists can be pressed.
    void dragRow(std::int32_t pid) {
        if (!model_ || !model_->space() || !app_.isPanelOnScreen())
            return;
        for (const auto& detail : model_->space()->appDetails)
            if (detail.pid == pid) {
                app_.rowDragged(pid);
                return;
            }
    }

    sim::SimPlatform& platform_;
    std::vector<ReplayHappening>& happenings_;
    std::shared_ptr<SpacePopoverViewModel> model_;
    sim::HeadlessApp app_;
    std::vector<ReplayHappening> pendingImages_;
    std::size_t actionsSeen_ = 0;
    std::string panelSpaceID_;
};

} // namespace

std::vector<ReplayHappening> replay(sim::Scenario scenario,
                                    const std::vector<sim::ScriptedEvent>& events,
                                    std::optional<double> until, bool ui) {
    sim::SimPlatform platform(std::move(scenario));
    std::vector<ReplayHappening> happenings;
    auto& queue = platform.mainQueue;

    std::unique_ptr<Interaction> interaction;
    std::shared_ptr<AppDelegate> delegate;
    if (ui) {
        interaction = std::make_unique<Interaction>(platform, happenings);
        delegate = interaction->delegate().shared_from_this();
    } else {
        delegate = AppDelegate::create(platform.services());
    }
    // Refused hot keys are reported on standard error: standard output is the timeline.
    delegate->setShortcuts(KeyBindings::ShortcutCenter::create(
        {platform.settings, platform.defaultCenter, platform.hotKeys, platform.keyboardLayout,
         KeyBindings::DescriptionStyle::Symbols,
         [](const std::string& line) { std::cerr << line << "\n"; }}));
    auto& observer = delegate->spaceObserver();
    // A stored opened-apps style starts the timer while the observer is being built.
    if (observer.hasWindowCheckTimer())
        happenings.push_back({queue.now(), Kind::TimerStarted, false, {}});
    observer.setRefreshListener([&](bool published) {
        // What the system was asked before this refresh comes first: a drop asks, then the
        // strip follows.
        if (interaction)
            interaction->collectActions();
        happenings.push_back({queue.now(), Kind::Refresh, published, {}});
        if (interaction)
            interaction->refreshed();
    });
    observer.setTimerListener([&](bool running) {
        happenings.push_back(
            {queue.now(), running ? Kind::TimerStarted : Kind::TimerStopped, false, {}});
    });
    // Work due at one moment runs before the system's requests of that moment are read.
    const auto runUntil = [&](double time) {
        while (const auto next = queue.nextDueTime()) {
            if (*next > time)
                break;
            queue.runUntil(*next);
            if (interaction)
                interaction->collectActions();
        }
        queue.runUntil(time);
    };
    delegate->applicationDidFinishLaunching();

    const double end = until.value_or((events.empty() ? 0.0 : events.back().at) + 1.0);
    for (const auto& event : events) {
        if (event.at > end)
            break;
        runUntil(event.at);
        if (sim::isInteraction(event.kind)) {
            if (interaction)
                interaction->apply(event);
        } else {
            applyEvent(event, platform, observer);
        }
        queue.runPending();
        if (interaction)
            interaction->collectActions();
    }
    runUntil(end);
    // The listeners refer to this frame; drop them with it.
    observer.setRefreshListener({});
    observer.setTimerListener({});
    return happenings;
}

std::string formatHappening(const ReplayHappening& happening) {
    static const char* const names[] = {
        "refresh",     "timerStarted", "timerStopped", "image",   "panelShown",
        "panelMoved",  "panelHidden",  "menuOpened",   "gesture", "alert",
        "quitRequest", "signal",       "sleepRequest", "model",   "moveRequest"};
    std::string line = "{\"at\": " + fixed(happening.at, 3) + ", \"kind\": \"" +
                       names[static_cast<int>(happening.kind)] + "\"";
    if (happening.kind == Kind::Refresh)
        line += std::string(", \"published\": ") + (happening.published ? "true" : "false");
    if (!happening.members.empty())
        line += ", " + happening.members;
    return line + "}";
}

} // namespace tidemark::sim
