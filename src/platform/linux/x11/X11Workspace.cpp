#include "platform/linux/x11/X11Workspace.h"

#include "foundation/Text.h"
#include "platform/linux/JsonMembers.h"
#include "platform/linux/apps/GenericAppIcon.h"
#include "platform/linux/proc/ProcFiles.h"
#include "platform/linux/x11/PropertyValue.h"
#include "platform/linux/x11/WindowClose.h"
#include "platform/linux/x11/XSettings.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>
#include <xcb/randr.h>

namespace tidemark::linux_platform {

namespace {

constexpr std::uint32_t kMaxIconWords = 1u << 20; // 4 MiB: a 512 x 512 icon and then some
constexpr int kIconEdge = 64;
constexpr int kI3ReconnectAttempts = 50;
constexpr TimeSeconds kI3ReconnectDelay = 0.1;
// Without events, a mapper pass asks for the apps and then for the icons it misses; within
// this age the table of the first question answers the others.
constexpr auto kUnobservedTableMaxAge = std::chrono::milliseconds(250);
constexpr FactsRequest kClientFacts{.geometry = false, .withClass = true, .urgencyHint = true};

using Kind = WorkspaceEventKind;

WorkspaceEvent appEvent(Kind kind, const RunningApplication& app) {
    return {kind, EventApp{app.pid, app.bundleIdentifier}};
}

} // namespace

X11Workspace::X11Workspace(std::shared_ptr<XConnection> x, std::shared_ptr<XConnection> events,
                           MainQueue& mainQueue, std::shared_ptr<const DesktopEntries> entries)
    : x_(std::move(x)), events_(std::move(events)), mainQueue_(mainQueue),
      entries_(std::move(entries)) {}

X11Workspace::~X11Workspace() {
    watcher_.reset();
    *alive_ = false;
}

X11Workspace::AppMap X11Workspace::readApps(const std::vector<WindowFacts>& facts) const {
    return groupClientApps(facts, *entries_, owners_, ::getpid(), kOwnBundleIdentifier);
}

X11Workspace::AppMap X11Workspace::readAppsLocked() {
    const auto clients = rootWindowList(*x_, x_->ewmh()._NET_CLIENT_LIST);
    return readApps(fetchWindowFacts(*x_, clients, kClientFacts));
}

bool X11Workspace::refreshClientsLocked(const std::vector<xcb_window_t>& list) {
    // i3 writes the list again at every switch, mostly as it was.
    if (tableRead_ && std::equal(list.begin(), list.end(), clients_.begin(), clients_.end(),
                                 [](xcb_window_t window, const WindowFacts& facts) {
                                     return window == facts.window;
                                 })) {
        tableTime_ = Clock::now();
        return false;
    }
    std::map<xcb_window_t, WindowFacts> known;
    for (auto& facts : clients_)
        known.emplace(facts.window, std::move(facts));
    std::vector<xcb_window_t> unknown;
    for (const auto window : list)
        if (!known.contains(window))
            unknown.push_back(window);
    if (observing_ && !unknown.empty()) {
        // Listening before reading, so that a change in between is not missed.
        watchClientWindows(unknown);
        xcb_flush(events_->raw());
    }
    for (auto& facts : fetchWindowFacts(*x_, unknown, kClientFacts))
        known.insert_or_assign(facts.window, std::move(facts));
    // A fresh table, not the old one cleared: a list that was long once keeps no room.
    std::vector<WindowFacts> table;
    table.reserve(list.size());
    for (const auto window : list)
        if (auto it = known.find(window); it != known.end())
            table.push_back(std::move(it->second));
    clients_ = std::move(table);
    if (observing_) {
        std::vector<const WindowFacts*> all;
        std::set<xcb_window_t> listed;
        all.reserve(clients_.size());
        for (const auto& facts : clients_) {
            all.push_back(&facts);
            listed.insert(facts.window);
        }
        std::erase_if(owners_, [&](const auto& entry) { return !listed.contains(entry.first); });
        recordOwnersLocked(all);
    }
    tableRead_ = true;
    tableTime_ = Clock::now();
    return true;
}

bool X11Workspace::refreshWindowsLocked(const std::set<xcb_window_t>& windows) {
    std::vector<xcb_window_t> listed;
    for (const auto& facts : clients_)
        if (windows.contains(facts.window))
            listed.push_back(facts.window);
    if (listed.empty())
        return false;
    auto fresh = fetchWindowFacts(*x_, listed, kClientFacts);
    auto next = fresh.begin();
    std::vector<const WindowFacts*> refreshed;
    for (auto& facts : clients_)
        if (next != fresh.end() && facts.window == next->window) {
            // A focus changes only the state's focused flag, which nothing here reads.
            if (facts != *next) {
                facts = std::move(*next);
                refreshed.push_back(&facts);
            }
            ++next;
        }
    // A claimed owner (_NET_WM_PID) may change.
    if (observing_)
        recordOwnersLocked(refreshed);
    return !refreshed.empty();
}

void X11Workspace::recordOwnersLocked(const std::vector<const WindowFacts*>& windows) {
    std::map<std::int32_t, SeenOwner> starts;
    for (const WindowFacts* facts : windows) {
        if (!facts->exists || !facts->pid)
            continue;
        const std::int32_t pid = *facts->pid;
        if (const auto known = owners_.find(facts->window);
            known != owners_.end() && known->second.pid == pid)
            continue;
        auto start = starts.find(pid);
        if (start == starts.end())
            start = starts.emplace(pid, linux_proc::processStartTicks("/proc", pid)).first;
        owners_.insert_or_assign(facts->window, WindowOwner{pid, start->second});
    }
}

void X11Workspace::rebuildAppsLocked() {
    lastApps_ = readApps(clients_);
    std::vector<RunningApplication> apps;
    apps.reserve(lastApps_.size());
    for (const auto& [pid, state] : lastApps_)
        apps.push_back(state.application);
    sharedApps_ = std::make_shared<const std::vector<RunningApplication>>(std::move(apps));
}

const X11Workspace::AppMap& X11Workspace::currentAppsLocked() {
    // While observing, the events keep the table current; stale only before the first read.
    const bool current =
        tableRead_ && (observing_ || Clock::now() - tableTime_ < kUnobservedTableMaxAge);
    if (!current) {
        clients_.clear();
        refreshClientsLocked(rootWindowList(*x_, x_->ewmh()._NET_CLIENT_LIST));
        x_->checkAlive();
        rebuildAppsLocked();
    }
    return lastApps_;
}

RunningApplications X11Workspace::sharedRunningApplications() {
    std::lock_guard lock(mutex_);
    currentAppsLocked();
    return sharedApps_;
}

std::vector<RunningApplication> X11Workspace::runningApplications() {
    return *sharedRunningApplications();
}

Appearance X11Workspace::effectiveAppearance() {
    // X has no system-wide appearance: the desktop portal's preference where one is stated,
    // else the GTK theme the settings manager publishes, else the one the session names.
    const char* variable = std::getenv("GTK_THEME");
    return xsettings::resolveAppearance(
        {portalColorScheme_, xsettings_.themeName(),
         variable ? std::optional<std::string>(variable) : std::nullopt});
}

void X11Workspace::setPortalColorScheme(std::optional<std::uint32_t> scheme) {
    portalColorScheme_ = scheme;
    announceAppearanceIfChanged();
    postAnnounced();
}

void X11Workspace::announceAppearanceIfChanged() {
    const auto now = effectiveAppearance();
    if (announcedAppearance_ == now)
        return;
    const bool first = !announcedAppearance_;
    announcedAppearance_ = now;
    if (!first)
        announce({Kind::AppearanceChanged});
}

ImageRef X11Workspace::iconForFile(const std::string&) {
    // Theme icons are PNG or SVG files; decoding them is the UI's business, so the mapper
    // falls back to the window's own icon.
    return nullptr;
}

ImageRef X11Workspace::applicationIcon(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    const auto& apps = currentAppsLocked();
    const auto it = apps.find(pid);
    if (it == apps.end())
        return nullptr;
    std::vector<xcb_get_property_cookie_t> cookies;
    for (const auto window : it->second.windows)
        cookies.push_back(xcb_get_property(x_->raw(), 0, window, x_->ewmh()._NET_WM_ICON,
                                           XCB_ATOM_CARDINAL, 0, kMaxIconWords));
    ImageRef image;
    for (const auto cookie : cookies) {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(x_->raw(), cookie, nullptr));
        if (image)
            continue;
        const auto words = propertyWords(propertyValue(reply.get()), XCB_ATOM_CARDINAL);
        if (auto icon = bestIcon(words.data(), words.size(), kIconEdge)) {
            const Size size{static_cast<double>(icon->width), static_cast<double>(icon->height)};
            image = Image::fromBitmap(
                size, Bitmap{icon->width, icon->height, std::move(icon->rgba)},
                it->second.application.bundleIdentifier.value_or("pid-" + std::to_string(pid)));
        }
    }
    x_->checkAlive();
    return image;
}

std::optional<std::string> X11Workspace::desktopIconName(const std::string& appKey) const {
    return entries_->iconName(appKey);
}

ImageRef X11Workspace::genericApplicationIcon() {
    return genericAppIcon();
}

bool X11Workspace::isApplicationInstalled(const std::string& bundleIdentifier) {
    return installed_.isInstalled(bundleIdentifier);
}

bool X11Workspace::terminate(std::int32_t pid) {
    if (pid <= 1 || pid == ::getpid())
        return false;
    std::lock_guard lock(mutex_);
    // The windows the pid owns now: a pid reused since the app was listed closes nothing of
    // the earlier process's.
    const auto apps = readAppsLocked();
    const auto it = apps.find(pid);
    return it != apps.end() && closeWindowsPolitely(*x_, it->second.windows);
}

void X11Workspace::announce(WorkspaceEvent event) {
    announced_.push_back(std::move(event));
}

void X11Workspace::tellTurn(const desktop::EventTurn& turn, bool spaceChanged, bool screenChanged) {
    if (desktopEventListener_)
        desktopEventListener_(turn);
    if (spaceChanged)
        announce({Kind::ActiveSpaceChanged});
    if (screenChanged)
        announce({Kind::ScreenParametersChanged});
}

// Posted in the turn that saw them, once the tables are current: the refresh they set off
// then reads what the dispatch just wrote, without another hop through the queue.
void X11Workspace::postAnnounced() {
    workspaceEvents_.postBatch(std::exchange(announced_, {}));
}

void X11Workspace::startObserving() {
    {
        std::lock_guard lock(mutex_);
        if (observing_)
            return;
        observing_ = true;
        // Structure: the MANAGER message of a new XSETTINGS owner.
        const std::uint32_t rootMask =
            XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(events_->raw(), events_->root(), XCB_CW_EVENT_MASK, &rootMask);
        const auto* randr = xcb_get_extension_data(events_->raw(), &xcb_randr_id);
        if (randr && randr->present) {
            hasRandr_ = true;
            randrEventBase_ = randr->first_event;
            xcb_randr_select_input(events_->raw(), events_->root(),
                                   XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE |
                                       XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE |
                                       XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE);
        }
        // From here on the events keep the table current, so it is read once more now.
        clients_.clear();
        refreshClientsLocked(rootWindowList(*x_, x_->ewmh()._NET_CLIENT_LIST));
        rebuildAppsLocked();
        std::vector<xcb_window_t> windows;
        for (const auto& facts : clients_)
            windows.push_back(facts.window);
        watchClientWindows(windows);
        xcb_flush(events_->raw());
    }
    updateActiveApp(xcb_ewmh_get_active_window(&x_->ewmh(), 0));
    xsettings_.startObserving();
    announceAppearanceIfChanged();
    // An advertised i3 that did not subscribe now (it is starting, or busy) is tried again.
    if (connectI3())
        scheduleI3Reconnect(0);
    watcher_ = std::make_unique<FdWatcher>(mainQueue_, *this);
    // What starting saw goes out once the caller has finished wiring its observers.
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.async([this, alive] {
        if (auto flag = alive.lock(); flag && *flag)
            postAnnounced();
    });
}

void X11Workspace::watchClientWindows(const std::vector<xcb_window_t>& windows) {
    // Structure: the client's own size, which the window server keeps between events.
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    for (const auto window : windows)
        if (watchedWindows_.insert(window).second) {
            // A window that is already gone makes this fail harmlessly (unchecked request).
            xcb_change_window_attributes(events_->raw(), window, XCB_CW_EVENT_MASK, &mask);
            newlyWatched_.push_back(window);
        }
}

bool X11Workspace::connectI3() {
    auto path = x_->i3SocketPath();
    if (!path)
        return false;
    auto connection = i3::connectToI3(*path);
    if (!connection)
        return true;
    const auto reply = connection->request(i3::MessageType::Subscribe,
                                           R"(["workspace","output","window","shutdown"])");
    if (reply && json_members::flag(*reply, "success"))
        i3Events_ = std::move(connection);
    return !i3Events_;
}

void X11Workspace::scheduleI3Reconnect(int attempt) {
    if (i3ReconnectPending_ || attempt >= kI3ReconnectAttempts)
        return;
    i3ReconnectPending_ = true;
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.asyncAfter(kI3ReconnectDelay, [this, alive, attempt] {
        if (auto flag = alive.lock(); !flag || !*flag)
            return;
        i3ReconnectPending_ = false;
        const bool again = connectI3();
        if (watcher_)
            watcher_->descriptorsChanged();
        if (!i3Events_) {
            if (again)
                scheduleI3Reconnect(attempt + 1);
            return;
        }
        // The restarted manager may have rebuilt its workspaces and outputs.
        tellTurn({.fromX = true,
                  .fromI3 = true,
                  .i3TreeChanges = {{}},
                  .i3WorkspaceFocus = {},
                  .i3WorkspacesMayHaveChanged = true,
                  .i3OutputsMayHaveChanged = true,
                  .changedWindows = {},
                  .stackingChanged = true},
                 true, true);
        postAnnounced();
    });
}

std::vector<int> X11Workspace::eventFds() {
    std::vector<int> fds{events_->fd()};
    if (i3Events_)
        fds.push_back(i3Events_->fd());
    return fds;
}

// i3 tells of a switch before the X server has carried it out (it answers its command once the
// requests are sent): its word goes out in a turn of its own, whose refresh reads i3's answers
// and the windows kept. The X events of the same moment, whose handling waits on the busy
// server, are left for the next turn; their descriptor is still readable.
void X11Workspace::dispatchEvents() {
    if (dispatchI3Events())
        return;
    dispatchXEvents();
}

bool X11Workspace::dispatchI3Events() {
    if (!i3Events_)
        return false;
    desktop::EventTurn turn;
    bool spaceChanged = false;
    bool screenChanged = false;
    std::optional<xcb_window_t> focused;
    for (const auto& message : i3Events_->readAvailable()) {
        if (!message.isEvent())
            continue;
        const auto kind = static_cast<i3::EventType>(message.eventType());
        if (const auto change = desktop::readI3TreeChange(kind, message.payload);
            change.kind != desktop::I3TreeChange::Kind::None)
            turn.i3TreeChanges.push_back(change);
        turn.fromI3 = true;
        if (kind == i3::EventType::Workspace) {
            spaceChanged = true;
            if (auto focus = desktop::readI3WorkspaceFocus(message.payload))
                turn.i3WorkspaceFocus.push_back(std::move(*focus));
            else
                turn.i3WorkspacesMayHaveChanged = true;
        } else if (kind == i3::EventType::Output) {
            screenChanged = turn.i3OutputsMayHaveChanged = true;
            turn.i3WorkspacesMayHaveChanged = true;
        } else if (kind == i3::EventType::Shutdown) {
            turn.i3WorkspacesMayHaveChanged = true;
        } else if (kind == i3::EventType::Window) {
            if (const auto window = desktop::readI3FocusedWindow(message.payload))
                focused = xcb_window_t(*window);
        }
    }
    if (i3Events_->isBroken()) {
        turn.fromI3 = true;
        turn.i3TreeChanges.emplace_back();
        turn.i3WorkspacesMayHaveChanged = true;
        turn.i3OutputsMayHaveChanged = true;
        // i3 restarted or exited; pick it up again when it is back.
        i3Events_.reset();
        scheduleI3Reconnect(0);
    }
    if (!turn.fromI3)
        return false;
    tellTurn(turn, spaceChanged, screenChanged);
    // A switch's activation goes out with its workspace change: one refresh for both.
    if (focused)
        activateClient(*focused);
    postAnnounced();
    return spaceChanged || screenChanged;
}

void X11Workspace::dispatchXEvents() {
    bool clientsChanged = false;
    std::set<xcb_window_t> changedWindows;
    bool activeChanged = false;
    bool spaceChanged = false;
    bool screenChanged = false;
    bool themeChanged = false;
    desktop::EventTurn turn;
    while (auto* raw = xcb_poll_for_event(events_->raw())) {
        Reply<xcb_generic_event_t> event(raw);
        turn.fromX = true;
        themeChanged = xsettings_.handle(*raw) || themeChanged;
        const auto type = event->response_type & 0x7f;
        if (type == XCB_PROPERTY_NOTIFY) {
            const auto& notify = *reinterpret_cast<const xcb_property_notify_event_t*>(raw);
            auto& e = x_->ewmh();
            if (notify.window == events_->root()) {
                if (notify.atom == e._NET_CLIENT_LIST)
                    clientsChanged = turn.stackingChanged = true;
                else if (notify.atom == e._NET_CLIENT_LIST_STACKING)
                    turn.stackingChanged = true;
                else if (notify.atom == e._NET_ACTIVE_WINDOW)
                    activeChanged = true;
                else if ((notify.atom == e._NET_CURRENT_DESKTOP ||
                          notify.atom == e._NET_NUMBER_OF_DESKTOPS) &&
                         !i3Events_)
                    // i3's workspace events say the same for every output; one
                    // notification per switch is enough.
                    spaceChanged = true;
                else if (notify.atom == e._NET_SUPPORTING_WM_CHECK)
                    screenChanged = true;
            } else if (notify.atom == e._NET_WM_STATE || notify.atom == XCB_ATOM_WM_CLASS ||
                       notify.atom == e._NET_WM_WINDOW_TYPE || notify.atom == e._NET_WM_PID ||
                       notify.atom == XCB_ATOM_WM_HINTS) {
                // What the app table is made of: name, kind, visibility and owner; and
                // whether a window asks for attention.
                changedWindows.insert(notify.window);
                turn.changedWindows.insert(notify.window);
            } else if (notify.atom == e._NET_WM_DESKTOP || notify.atom == x_->opacityAtom()) {
                turn.changedWindows.insert(notify.window);
            }
        } else if (type == XCB_CONFIGURE_NOTIFY) {
            // A client's own size; a frame's or the root's moves change no window's facts.
            const auto& configure = *reinterpret_cast<const xcb_configure_notify_event_t*>(raw);
            if (configure.event == configure.window && configure.window != events_->root())
                turn.changedWindows.insert(configure.window);
        } else if (type == XCB_DESTROY_NOTIFY) {
            clientsChanged = turn.stackingChanged = true;
        } else if (hasRandr_ && (type == randrEventBase_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                                 type == randrEventBase_ + XCB_RANDR_NOTIFY)) {
            screenChanged = true;
        }
    }
    events_->checkAlive();
    if (!turn.fromX)
        return;

    // Asked before the app diff's requests go out, so that its reply comes with theirs.
    std::optional<xcb_get_property_cookie_t> activeWindow;
    if (activeChanged || clientsChanged)
        activeWindow = xcb_ewmh_get_active_window(&x_->ewmh(), 0);
    // i3 tells of urgent workspaces itself; elsewhere a window's urgency marks its desktops.
    if ((clientsChanged || !changedWindows.empty()) && diffApps(clientsChanged, changedWindows) &&
        !i3Events_)
        spaceChanged = true;
    if (activeWindow)
        updateActiveApp(*activeWindow);
    // After the diff, which starts watching new clients; before the events, whose refreshes
    // read the answers this turn made stale.
    {
        std::lock_guard lock(mutex_);
        turn.changedWindows.insert(newlyWatched_.begin(), newlyWatched_.end());
        newlyWatched_.clear();
    }
    tellTurn(turn, spaceChanged, screenChanged);
    if (themeChanged)
        announceAppearanceIfChanged();
    postAnnounced();
}

bool X11Workspace::diffApps(bool clientsChanged, const std::set<xcb_window_t>& changedWindows) {
    AppMap previous;
    AppMap current;
    bool urgencyChanged = false;
    {
        std::lock_guard lock(mutex_);
        const auto urgentClients = [this] {
            std::set<xcb_window_t> urgent;
            for (const auto& facts : clients_)
                if (facts.urgent)
                    urgent.insert(facts.window);
            return urgent;
        };
        const auto urgentBefore = urgentClients();
        // The client list goes out with the changed windows' facts: one round trip for both.
        std::optional<xcb_get_property_cookie_t> clientList;
        if (clientsChanged)
            clientList = requestRootWindowList(*x_, x_->ewmh()._NET_CLIENT_LIST);
        const bool factsChanged = refreshWindowsLocked(changedWindows);
        const bool listChanged =
            clientList && refreshClientsLocked(takeRootWindowList(*x_, *clientList));
        if (!factsChanged && !listChanged)
            return false;
        previous = std::move(lastApps_);
        rebuildAppsLocked();
        current = lastApps_;
        urgencyChanged = urgentClients() != urgentBefore;
        std::set<xcb_window_t> windows;
        for (const auto& facts : clients_)
            windows.insert(facts.window);
        std::erase_if(watchedWindows_, [&](xcb_window_t w) { return !windows.contains(w); });
        watchClientWindows({windows.begin(), windows.end()});
        xcb_flush(events_->raw());
    }
    for (const auto& [pid, state] : current) {
        const auto before = previous.find(pid);
        if (before == previous.end()) {
            announce(appEvent(Kind::AppLaunched, state.application));
            continue;
        }
        if (state.application.hidden != before->second.application.hidden)
            announce(appEvent(state.application.hidden ? Kind::AppHidden : Kind::AppUnhidden,
                              state.application));
    }
    for (const auto& [pid, state] : previous)
        if (!current.contains(pid))
            announce(appEvent(Kind::AppTerminated, state.application));
    return urgencyChanged;
}

void X11Workspace::updateActiveApp(xcb_get_property_cookie_t activeWindow) {
    std::optional<std::int32_t> pid;
    {
        std::lock_guard lock(mutex_);
        xcb_window_t active = 0;
        auto& e = x_->ewmh();
        if (xcb_ewmh_get_active_window_reply(&e, activeWindow, &active, nullptr) && active != 0) {
            // The table knows its clients' owners; only a window outside it costs a request.
            const auto known =
                std::find_if(clients_.begin(), clients_.end(),
                             [&](const auto& facts) { return facts.window == active; });
            pid = known != clients_.end() ? known->pid : ownerPids(*x_, {active}).front();
        }
        x_->checkAlive();
    }
    activate(pid);
}

void X11Workspace::activateClient(xcb_window_t window) {
    std::optional<std::int32_t> pid;
    {
        std::lock_guard lock(mutex_);
        const auto known = std::find_if(clients_.begin(), clients_.end(),
                                        [&](const auto& facts) { return facts.window == window; });
        // A window the table does not hold yet is left to the X server's word.
        if (known == clients_.end())
            return;
        pid = known->pid;
    }
    activate(pid);
}

void X11Workspace::activate(std::optional<std::int32_t> pid) {
    std::optional<RunningApplication> app;
    std::optional<RunningApplication> previousApp;
    {
        std::lock_guard lock(mutex_);
        if (pid == activePid_)
            return;
        const auto previous = std::exchange(activePid_, pid);
        if (previous)
            if (auto it = lastApps_.find(*previous); it != lastApps_.end())
                previousApp = it->second.application;
        if (pid)
            if (auto it = lastApps_.find(*pid); it != lastApps_.end())
                app = it->second.application;
    }
    if (previousApp)
        announce(appEvent(Kind::AppDeactivated, *previousApp));
    if (app)
        announce(appEvent(Kind::AppActivated, *app));
}

} // namespace tidemark::linux_platform
