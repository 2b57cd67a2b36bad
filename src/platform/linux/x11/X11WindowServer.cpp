#include "platform/linux/x11/X11WindowServer.h"

#include "platform/linux/i3/I3WorkspaceSwitch.h"
#include "platform/linux/session/JournalLog.h"
#include "platform/linux/x11/PropertyValue.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>

namespace tidemark::linux_platform {

namespace {

// Desktop names are a few words each; more than this is not read.
constexpr std::uint32_t kMaxDesktopNamesBytes = 16 * 1024;

} // namespace

X11WindowServer::X11WindowServer(std::shared_ptr<XConnection> x)
    : x_(std::move(x)),
      i3_([weak = std::weak_ptr<XConnection>(x_)]() -> std::optional<std::string> {
          if (auto x = weak.lock())
              return x->i3SocketPath();
          return std::nullopt;
      }) {
    std::lock_guard lock(mutex_);
    recordReachLocked();
}

X11WindowServer::Mode X11WindowServer::modeLocked() {
    const auto now = Clock::now();
    if (modes_.isProbeDue(now))
        recordReachLocked();
    return modes_.mode();
}

X11WindowServer::Mode X11WindowServer::recordReachLocked() {
    const auto before = modes_.mode();
    const auto mode = modes_.record(i3_.reach(), Clock::now());
    if (mode != before) {
        membershipStale_ = true;
        i3Outputs_.reset();
        i3Workspaces_.reset();
    }
    return mode;
}

X11WindowServer::Mode X11WindowServer::mode() {
    std::lock_guard lock(mutex_);
    return modeLocked();
}

void X11WindowServer::noteTruncatedLocked(bool truncated) {
    if (!truncated || reportedTruncation_)
        return;
    reportedTruncation_ = true;
    JournalLog().error("i3", "ipc",
                       "i3 lists more than " + std::to_string(desktop::kMaxDesktopItems) +
                           " outputs, workspaces or windows; the rest are ignored");
}

template <typename Answer>
bool X11WindowServer::isCurrentLocked(const KeptAnswer<Answer>& answer) const {
    return followingEvents_ && answer.value && answer.eventCount == desktopEventCount_ &&
           answer.mode == modes_.mode();
}

template <typename Answer>
void X11WindowServer::keepLocked(KeptAnswer<Answer>& answer, const Answer& value) {
    answer = {.value = value, .eventCount = desktopEventCount_, .mode = modes_.mode()};
}

bool X11WindowServer::displaysAreCurrentLocked() const {
    return followingEvents_ && displays_.value && displays_.mode == Mode::Ewmh &&
           modes_.mode() == Mode::Ewmh && displays_.eventCount == desktopEventCount_;
}

DisplayList X11WindowServer::displays() {
    std::lock_guard lock(mutex_);
    if (displaysAreCurrentLocked())
        return displays_.value;
    DisplayList displays;
    if (auto fresh = displaysLocked())
        displays = std::make_shared<const std::vector<Display>>(std::move(*fresh));
    keepLocked(displays_, displays);
    return displays;
}

std::optional<std::vector<Display>> X11WindowServer::displaysLocked() {
    if (modeLocked() == Mode::I3) {
        if (auto displays = i3DisplaysLocked())
            return displays;
        // i3 restarts, is busy or went away: while it keeps its mode nothing answers, and
        // what is shown stays.
        if (recordReachLocked() == Mode::I3)
            return i3DisplaysLocked();
    }
    return ewmhDisplaysLocked();
}

std::optional<std::vector<Display>> X11WindowServer::i3DisplaysLocked() {
    // Outputs change far less often than workspaces; followed, they are kept until i3 says.
    if (!followingEvents_ || !i3Outputs_) {
        i3Outputs_ = i3_.request(i3::MessageType::GetOutputs);
        i3Workspaces_.reset();
    }
    if (!i3Outputs_)
        return std::nullopt;
    if (!followingEvents_ || !i3Workspaces_ || i3WorkspacesAsOf_ != i3WorkspaceEvents_) {
        const auto workspaces = i3_.request(i3::MessageType::GetWorkspaces);
        if (!workspaces)
            return std::nullopt;
        bool truncated = false;
        i3Workspaces_ = desktop::i3DisplaySpaces(*workspaces, *i3Outputs_, &truncated);
        i3WorkspacesAsOf_ = i3WorkspaceEvents_;
        noteTruncatedLocked(truncated);
    }
    auto displays = *i3Workspaces_;
    desktop::markFullScreen(displays, i3TreeLocked(TreeReader::Displays).fullScreenOwners);
    return displays;
}

std::optional<std::vector<Display>> X11WindowServer::ewmhDisplaysLocked() {
    auto& e = x_->ewmh();
    const auto countCookie = requestRootCardinal(*x_, e._NET_NUMBER_OF_DESKTOPS);
    const auto currentCookie = requestRootCardinal(*x_, e._NET_CURRENT_DESKTOP);
    const auto namesCookie = xcb_get_property(x_->raw(), 0, x_->root(), e._NET_DESKTOP_NAMES,
                                              e.UTF8_STRING, 0, kMaxDesktopNamesBytes / 4);
    // Which desktops one full-screen window fills comes from the clients' facts; the window
    // list made of them serves the refresh that asked for these displays.
    const auto clients = clientsLocked(true);
    keepLocked(windowList_, windowListLocked(clients));
    const auto count = takeRootCardinal(*x_, countCookie);
    const auto current = takeRootCardinal(*x_, currentCookie);
    const Reply<xcb_get_property_reply_t> names(
        xcb_get_property_reply(x_->raw(), namesCookie, nullptr));
    x_->checkAlive();
    if (!count)
        return std::nullopt;
    std::vector<std::optional<std::string>> desktopNames;
    if (const auto value = propertyValue(names.get()); value.format == 8)
        desktopNames = desktop::ewmhDesktopNames(value.bytes, names->bytes_after > 0);
    // A hostile or broken manager could claim billions of desktops.
    const auto desktopCount = std::min(*count, std::uint32_t(desktop::kMaxDesktopItems));
    auto displays =
        desktop::ewmhDisplaySpaces(kScreenDisplayID, desktopCount, current, desktopNames);

    // A minimised window fills no desktop, but it may still ask for attention.
    std::vector<desktop::SpaceWindow> shownWindows;
    std::vector<desktop::SpaceWindow> urgentWindows;
    for (const auto id : clients.shown) {
        const auto& window = clients.facts.at(id);
        const auto desktop = window.sticky ? desktop::kAllDesktops : window.desktop;
        if (window.kind != WindowKind::Normal || !desktop)
            continue;
        desktop::SpaceWindow entry{id, desktop::ewmhSpacesOfDesktop(*desktop, desktopCount),
                                   window.fullScreen, window.urgent};
        if (window.urgent)
            urgentWindows.push_back(entry);
        if (!window.hidden)
            shownWindows.push_back(std::move(entry));
    }
    std::map<SpaceId, std::optional<std::int32_t>> owners;
    for (const auto& [space, window] : desktop::fullScreenSpaces(shownWindows))
        owners.emplace(space, clients.facts.at(xcb_window_t(window)).pid);
    desktop::markFullScreen(displays, owners);
    desktop::markUrgent(displays, urgentWindows);
    return displays;
}

SharedWindowList X11WindowServer::windows() {
    std::lock_guard lock(mutex_);
    if (isCurrentLocked(windowList_))
        return windowList_.value;
    auto windows = windowListLocked(clientsLocked(modes_.mode() == Mode::Ewmh));
    keepLocked(windowList_, windows);
    return windows;
}

X11WindowServer::Clients X11WindowServer::clientsLocked(bool ewmh) {
    auto pending = std::exchange(pendingClients_, std::nullopt);
    if (pending && pending->ewmh == ewmh)
        return takeClientsLocked(*pending);
    if (pending)
        takeClientsLocked(*pending);
    return takeClientsLocked(requestClientsLocked(ewmh));
}

X11WindowServer::ClientRequests X11WindowServer::requestClientsLocked(bool ewmh) {
    // Under EWMH each client's desktop and urgency come with its other facts, and the desktop
    // count that reads it with the list; under i3 the tree and the workspaces tell.
    const FactsRequest request{.desktop = ewmh, .urgencyHint = ewmh};
    auto& e = x_->ewmh();
    if (!followingEvents_ || keptFactsHaveDesktops_ != ewmh) {
        keptFacts_.clear();
        keptFactsHaveDesktops_ = ewmh;
    }
    // The list goes out with the facts that are due: without events those of every window it
    // held last time, with them those an event named. While the clients stay the same, the
    // whole answer costs one round trip.
    std::vector<xcb_window_t> due;
    if (followingEvents_)
        std::copy_if(staleFacts_.begin(), staleFacts_.end(), std::back_inserter(due),
                     [&](xcb_window_t window) { return keptFacts_.contains(window); });
    else
        due = listedWindows_;
    staleFacts_.clear();
    ClientRequests requests{.ewmh = ewmh,
                            .stacking = requestRootWindowList(*x_, e._NET_CLIENT_LIST_STACKING),
                            .desktopCount = std::nullopt,
                            .facts = {}};
    if (ewmh)
        requests.desktopCount = requestRootCardinal(*x_, e._NET_NUMBER_OF_DESKTOPS);
    requests.facts = requestWindowFacts(*x_, std::move(due), request);
    return requests;
}

X11WindowServer::Clients X11WindowServer::takeClientsLocked(const ClientRequests& requests) {
    auto& e = x_->ewmh();
    for (auto& window : takeWindowFacts(*x_, requests.facts))
        keptFacts_.insert_or_assign(window.window, std::move(window));
    auto stacking = takeRootWindowList(*x_, requests.stacking);
    Clients clients;
    clients.desktopCount = std::min(
        requests.desktopCount ? takeRootCardinal(*x_, *requests.desktopCount).value_or(0) : 0,
        std::uint32_t(desktop::kMaxDesktopItems));
    if (stacking.empty())
        stacking = rootWindowList(*x_, e._NET_CLIENT_LIST);
    // Bottom to top on the wire; the window list runs front to back.
    std::reverse(stacking.begin(), stacking.end());
    std::vector<xcb_window_t> unlisted;
    std::copy_if(stacking.begin(), stacking.end(), std::back_inserter(unlisted),
                 [&](xcb_window_t window) { return !keptFacts_.contains(window); });
    for (auto& window : fetchWindowFacts(*x_, unlisted, requests.facts.what))
        keptFacts_.insert_or_assign(window.window, std::move(window));
    listedWindows_ = stacking;
    const std::set<xcb_window_t> listed(stacking.begin(), stacking.end());
    std::erase_if(keptFacts_, [&](const auto& entry) { return !listed.contains(entry.first); });

    clients.facts = keptFacts_;
    for (const auto id : stacking)
        if (const auto& window = clients.facts.at(id);
            window.exists && window.kind != WindowKind::Desktop)
            clients.shown.push_back(id);
    return clients;
}

SharedWindowList X11WindowServer::windowListLocked(const Clients& clients) {
    const bool ewmh = modes_.mode() == Mode::Ewmh;
    const auto* membership =
        ewmh ? nullptr : &i3TreeLocked(TreeReader::WindowList, clients.shown).tree.windowSpaces;

    auto list = std::make_shared<WindowList>();
    list->windows.reserve(clients.shown.size());
    for (const auto id : clients.shown) {
        const auto& window = clients.facts.at(id);
        auto info = windowInfo(window);
        std::vector<SpaceId> spaces;
        if (membership) {
            if (const auto it = membership->find(id); it != membership->end())
                spaces = it->second;
        } else if (const auto desktop = window.sticky ? desktop::kAllDesktops : window.desktop) {
            spaces = desktop::ewmhSpacesOfDesktop(*desktop, clients.desktopCount);
        }
        info.spaces.assign(spaces.begin(), spaces.end());
        list->windows.push_back(std::move(info));
    }
    return list;
}

void X11WindowServer::followDesktopEvents() {
    std::lock_guard lock(mutex_);
    followingEvents_ = true;
    membershipStale_ = true;
}

void X11WindowServer::desktopChanged(const desktop::EventTurn& turn) {
    std::lock_guard lock(mutex_);
    // Word from i3 while EWMH answers for want of a connection: i3 takes them again.
    if (turn.fromI3 && modes_.isProbePending())
        recordReachLocked();
    // Under EWMH the desktops come with each window list, which any event renews.
    for (const auto& change : turn.i3TreeChanges) {
        if (membershipStale_)
            break;
        const auto fullScreenBefore = tree_.tree.fullScreenWindows;
        membershipStale_ = !desktop::followI3TreeChange(tree_.tree, change);
        fullScreenOwnersStale_ =
            fullScreenOwnersStale_ ||
            (!membershipStale_ && tree_.tree.fullScreenWindows != fullScreenBefore);
    }
    staleFacts_.insert(turn.changedWindows.begin(), turn.changedWindows.end());
    if (turn.i3OutputsMayHaveChanged)
        i3Outputs_.reset();
    // Under i3 the window list changes with the stacking, a client's facts or the tree; word
    // from i3 that moved no window (a switch's focus) or an X event of nothing the list reads
    // (a title) leaves it. Under EWMH the desktops come with each list, which any X event renews.
    const bool i3 = modes_.mode() == Mode::I3;
    const bool listChanged =
        i3 ? turn.stackingChanged || !turn.changedWindows.empty() || !turn.i3TreeChanges.empty()
           : turn.fromX || !turn.i3TreeChanges.empty();
    if (listChanged) {
        ++desktopEventCount_;
        // The next list is asked now and read at the next refresh, by when its answer is in.
        if (followingEvents_ && i3) {
            if (auto pending = std::exchange(pendingClients_, std::nullopt))
                takeClientsLocked(*pending);
            pendingClients_ = requestClientsLocked(false);
            xcb_flush(x_->raw());
        }
    }
    // A focus moved between workspaces i3 listed is shown without asking them again.
    const bool workspacesKept = i3Workspaces_ && i3WorkspacesAsOf_ == i3WorkspaceEvents_;
    const auto followed = [&](const desktop::I3WorkspaceFocus& focus) {
        return desktop::followI3WorkspaceFocus(*i3Workspaces_, focus);
    };
    if (turn.i3WorkspacesMayHaveChanged ||
        (workspacesKept &&
         !std::all_of(turn.i3WorkspaceFocus.begin(), turn.i3WorkspaceFocus.end(), followed)))
        ++i3WorkspaceEvents_;
}

const X11WindowServer::TreeAnswer&
X11WindowServer::i3TreeLocked(TreeReader reader, const std::vector<xcb_window_t>& windows) {
    const bool awaited = std::exchange(treeAwaitsWindowList_, false);
    const bool knowsAll = std::all_of(windows.begin(), windows.end(), [&](xcb_window_t window) {
        return tree_.tree.windowSpaces.contains(window);
    });
    const bool current =
        followingEvents_ ? !membershipStale_ : reader == TreeReader::WindowList && awaited;
    if (current && knowsAll) {
        if (std::exchange(fullScreenOwnersStale_, false))
            updateFullScreenOwnersLocked();
        return tree_;
    }
    treeAwaitsWindowList_ = !followingEvents_ && reader == TreeReader::Displays;
    membershipStale_ = false;
    fullScreenOwnersStale_ = false;
    tree_ = {};
    auto reply = i3_.request(i3::MessageType::GetTree, {}, desktop::kI3TreeMembers);
    if (!reply)
        return tree_;
    bool truncated = false;
    tree_.tree = desktop::i3Tree(*reply, &truncated);
    noteTruncatedLocked(truncated);
    updateFullScreenOwnersLocked();
    return tree_;
}

// i3 does not say whose the windows are: their owners cost one more round trip, and only
// while some workspace is full screen.
void X11WindowServer::updateFullScreenOwnersLocked() {
    const auto& spaces = tree_.tree.fullScreenWindows;
    std::vector<xcb_window_t> fullScreen;
    for (const auto& [space, window] : spaces)
        fullScreen.push_back(xcb_window_t(window));
    const auto facts = fetchWindowFacts(*x_, fullScreen, {.geometry = false});
    tree_.fullScreenOwners.clear();
    std::size_t i = 0;
    for (const auto& [space, window] : spaces)
        tree_.fullScreenOwners.emplace(space, facts[i++].pid);
}

bool X11WindowServer::takesSwitchRequests() {
    std::lock_guard lock(mutex_);
    if (modes_.mode() == Mode::I3)
        return i3_.isReachable();
    return ewmhSupportsCurrentDesktopLocked();
}

bool X11WindowServer::makeCurrent(SpaceId space) {
    std::lock_guard lock(mutex_);
    return modeLocked() == Mode::I3 ? i3MakeCurrentLocked(space) : ewmhMakeCurrentLocked(space);
}

bool X11WindowServer::ewmhSupportsCurrentDesktopLocked() {
    auto& e = x_->ewmh();
    xcb_ewmh_get_atoms_reply_t supported;
    if (!xcb_ewmh_get_supported_reply(&e, xcb_ewmh_get_supported(&e, 0), &supported, nullptr))
        return false;
    const bool result = std::find(supported.atoms, supported.atoms + supported.atoms_len,
                                  e._NET_CURRENT_DESKTOP) != supported.atoms + supported.atoms_len;
    xcb_ewmh_get_atoms_reply_wipe(&supported);
    return result;
}

bool X11WindowServer::i3MakeCurrentLocked(SpaceId space) {
    // Read afresh: a workspace renamed since the last answer would otherwise be made anew
    // under its old name.
    const auto workspaces = i3_.request(i3::MessageType::GetWorkspaces);
    if (!workspaces)
        return false;
    const auto command = i3::workspaceSwitchCommand(*workspaces, space);
    if (!command)
        return false;
    const auto reply = i3_.request(i3::MessageType::RunCommand, *command);
    return reply && i3::commandsSucceeded(*reply);
}

bool X11WindowServer::ewmhMakeCurrentLocked(SpaceId space) {
    auto& e = x_->ewmh();
    const auto count = rootCardinal(*x_, e._NET_NUMBER_OF_DESKTOPS);
    if (!count || space < 1 || space > SpaceId{*count} || !ewmhSupportsCurrentDesktopLocked())
        return false;
    xcb_ewmh_request_change_current_desktop(&e, 0, static_cast<std::uint32_t>(space - 1),
                                            XCB_CURRENT_TIME);
    syncLocked();
    return true;
}

void X11WindowServer::syncLocked() {
    Reply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(x_->raw(), xcb_get_input_focus(x_->raw()), nullptr));
    x_->checkAlive();
}

WindowMoveResult X11WindowServer::moveWindows(std::int32_t pid, SpaceId from, SpaceId to) {
    std::lock_guard lock(mutex_);
    if (from == to)
        return {};
    return modeLocked() == Mode::I3 ? i3MoveWindowsLocked(pid, from, to)
                                    : ewmhMoveWindowsLocked(pid, from, to);
}

WindowMoveResult X11WindowServer::i3MoveWindowsLocked(std::int32_t pid, SpaceId from, SpaceId to) {
    // Read afresh: the windows and names of the moment of the drop, not of the last refresh.
    const auto tree = i3_.request(i3::MessageType::GetTree, {}, desktop::kI3TreeMembers);
    const auto workspaces = i3_.request(i3::MessageType::GetWorkspaces);
    if (!tree || !workspaces)
        return {.refused = 1};
    // i3 does not say whose the windows are; X does.
    std::vector<xcb_window_t> onSpace;
    for (const auto window : desktop::i3WindowsOn(*tree, from))
        onSpace.push_back(xcb_window_t(window));
    std::map<std::int64_t, std::int32_t> owners;
    for (const auto& facts : fetchWindowFacts(*x_, onSpace, {.geometry = false}))
        if (facts.exists && facts.pid)
            owners.emplace(facts.window, *facts.pid);
    const auto plan = desktop::i3MovePlan(*tree, from, pid, owners);
    WindowMoveResult result{.leftAlone = plan.leftAlone};
    for (const auto container : plan.windows) {
        const auto command = i3::windowMoveCommand(*workspaces, container, to);
        const auto reply = command ? i3_.request(i3::MessageType::RunCommand, *command)
                                   : std::optional<nlohmann::json>();
        ++(reply && i3::commandsSucceeded(*reply) ? result.requested : result.refused);
    }
    if (!plan.windows.empty())
        membershipStale_ = true;
    return result;
}

WindowMoveResult X11WindowServer::ewmhMoveWindowsLocked(std::int32_t pid, SpaceId from,
                                                        SpaceId to) {
    auto& e = x_->ewmh();
    const auto count = rootCardinal(*x_, e._NET_NUMBER_OF_DESKTOPS);
    if (!count || from < 1 || to < 1 || from > SpaceId{*count} || to > SpaceId{*count})
        return {.refused = 1};
    const auto clients = clientsLocked(true);
    std::vector<desktop::DesktopWindow> windows;
    for (const auto id : clients.shown) {
        const auto& facts = clients.facts.at(id);
        if (facts.kind == WindowKind::Normal)
            windows.push_back({id, facts.pid, facts.desktop, facts.sticky});
    }
    const auto plan = desktop::ewmhMovePlan(windows, pid, std::uint32_t(from - 1));
    // Source indication 2: a pager's request, which managers honour as the user's.
    for (const auto window : plan.windows)
        xcb_ewmh_request_change_wm_desktop(&e, 0, xcb_window_t(window), std::uint32_t(to - 1),
                                           XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    if (!plan.windows.empty())
        syncLocked();
    return {.requested = int(plan.windows.size()), .leftAlone = plan.leftAlone};
}

std::optional<nlohmann::json> X11WindowServer::i3Outputs() {
    std::lock_guard lock(mutex_);
    if (modeLocked() != Mode::I3)
        return std::nullopt;
    return i3_.request(i3::MessageType::GetOutputs);
}

} // namespace tidemark::linux_platform
