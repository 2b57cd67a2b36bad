#include "platform/linux/x11/X11WindowServer.h"

#include "platform/linux/session/JournalLog.h"
#include "platform/linux/x11/WindowFacts.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

namespace tidemark::linux_platform {

namespace {

// A mapper pass asks for a window's spaces right after listing the windows on spaces;
// within this age the membership of that listing answers.
constexpr auto kMembershipMaxAge = std::chrono::milliseconds(250);
// Long enough for the refreshes one switch sets off at once, short of the half-second check.
constexpr auto kWindowListMaxAge = std::chrono::milliseconds(100);
// How long a desktop request may stay unanswered before the shown desktop counts again.
constexpr auto kPendingRequestLifetime = std::chrono::milliseconds(1000);

std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + '"';
}

} // namespace

X11WindowServer::X11WindowServer(std::shared_ptr<XConnection> x)
    : x_(std::move(x)),
      i3_([weak = std::weak_ptr<XConnection>(x_)]() -> std::optional<std::string> {
          if (auto x = weak.lock())
              return x->i3SocketPath();
          return std::nullopt;
      }) {
    std::lock_guard lock(mutex_);
    modes_.record(i3_.reach(), Clock::now());
}

X11WindowServer::Mode X11WindowServer::modeLocked() {
    const auto now = Clock::now();
    if (modes_.isProbeDue(now))
        modes_.record(i3_.reach(), now);
    return modes_.mode();
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

bool X11WindowServer::isCurrentLocked(const KeptAnswer& answer,
                                      std::optional<Clock::duration> maxAge) const {
    return followingEvents_ && answer.value && answer.eventCount == desktopEventCount_ &&
           (!maxAge || Clock::now() - answer.time < *maxAge);
}

void X11WindowServer::keepLocked(KeptAnswer& answer, const std::optional<Value>& value) {
    answer = {.value = value, .eventCount = desktopEventCount_, .time = Clock::now()};
}

std::optional<Value> X11WindowServer::copyManagedDisplaySpaces(std::int32_t) {
    std::lock_guard lock(mutex_);
    if (isCurrentLocked(displays_))
        return displays_.value;
    auto displays = displaysLocked();
    keepLocked(displays_, displays);
    return displays;
}

std::optional<Value> X11WindowServer::displaysLocked() {
    if (modeLocked() == Mode::I3) {
        if (auto displays = i3DisplaysLocked())
            return displays;
        // i3 restarts, is busy or went away: while it keeps its mode nothing answers, and
        // what is shown stays.
        if (modes_.record(i3_.reach(), Clock::now()) == Mode::I3)
            return i3DisplaysLocked();
    }
    return ewmhDisplaysLocked();
}

std::optional<Value> X11WindowServer::i3DisplaysLocked() {
    auto outputs = i3_.request(i3::MessageType::GetOutputs);
    if (!outputs)
        return std::nullopt;
    auto workspaces = i3_.request(i3::MessageType::GetWorkspaces);
    if (!workspaces)
        return std::nullopt;
    bool truncated = false;
    auto displays = desktop::i3DisplaySpaces(*workspaces, *outputs, &truncated);
    noteTruncatedLocked(truncated);
    return displays;
}

std::optional<Value> X11WindowServer::ewmhDisplaysLocked() {
    auto& e = x_->ewmh();
    auto countCookie = xcb_get_property(x_->raw(), 0, x_->root(), e._NET_NUMBER_OF_DESKTOPS,
                                        XCB_ATOM_CARDINAL, 0, 1);
    auto currentCookie =
        xcb_get_property(x_->raw(), 0, x_->root(), e._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 0, 1);
    auto read = [&](xcb_get_property_cookie_t cookie) -> std::optional<std::uint32_t> {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(x_->raw(), cookie, nullptr));
        if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32 ||
            xcb_get_property_value_length(reply.get()) < 4)
            return std::nullopt;
        return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    };
    const auto count = read(countCookie);
    const auto current = read(currentCookie);
    x_->checkAlive();
    if (!count)
        return std::nullopt;
    // A hostile or broken manager could claim billions of desktops.
    return desktop::ewmhDisplaySpaces(
        kScreenDisplayID, std::min(*count, std::uint32_t(desktop::kMaxDesktopItems)), current);
}

std::optional<Value> X11WindowServer::copyWindowInfo(std::uint32_t options, std::uint32_t) {
    std::lock_guard lock(mutex_);
    if (options == windowListOptions_ && isCurrentLocked(windowList_, kWindowListMaxAge))
        return windowList_.value;
    auto windows = windowListLocked(options);
    windowListOptions_ = options;
    keepLocked(windowList_, windows);
    return windows;
}

std::optional<Value> X11WindowServer::windowListLocked(std::uint32_t options) {
    // The list goes out with the facts of the windows it held last time: while the clients
    // stay the same, the whole answer costs one round trip.
    const auto stackingCookie = requestRootWindowList(*x_, x_->ewmh()._NET_CLIENT_LIST_STACKING);
    std::map<xcb_window_t, WindowFacts> facts;
    for (auto& window : fetchWindowFacts(*x_, listedWindows_))
        facts.emplace(window.window, std::move(window));
    auto stacking = takeRootWindowList(*x_, stackingCookie);
    if (stacking.empty())
        stacking = rootWindowList(*x_, x_->ewmh()._NET_CLIENT_LIST);
    // Bottom to top on the wire; the window list runs front to back.
    std::reverse(stacking.begin(), stacking.end());
    std::vector<xcb_window_t> unlisted;
    std::copy_if(stacking.begin(), stacking.end(), std::back_inserter(unlisted),
                 [&](xcb_window_t window) { return !facts.contains(window); });
    for (auto& window : fetchWindowFacts(*x_, unlisted))
        facts.insert_or_assign(window.window, std::move(window));
    listedWindows_ = stacking;

    ValueArray windows;
    windows.reserve(stacking.size());
    const bool excludeDesktop = (options & kWindowListExcludeDesktopElements) != 0;
    for (const auto id : stacking) {
        const auto& window = facts.at(id);
        if (!window.exists)
            continue;
        if (excludeDesktop && window.kind == WindowKind::Desktop)
            continue;
        windows.push_back(windowDictionary(window));
    }
    return Value(std::move(windows));
}

void X11WindowServer::followDesktopEvents() {
    std::lock_guard lock(mutex_);
    followingEvents_ = true;
    membershipStale_ = true;
}

void X11WindowServer::desktopChanged(const desktop::EventTurn& turn) {
    std::lock_guard lock(mutex_);
    // Word from i3 while EWMH answers for want of a connection: i3 takes them again.
    if (turn.i3WindowsMayHaveMoved && modes_.isProbePending())
        modes_.record(i3_.reach(), Clock::now());
    // Under i3 the tree alone tells membership; elsewhere the clients' desktop properties.
    if (modes_.mode() == Mode::I3 ? turn.i3WindowsMayHaveMoved : turn.fromX)
        membershipStale_ = true;
    ++desktopEventCount_;
}

const desktop::WindowSpaces& X11WindowServer::membershipLocked(bool forceFresh) {
    const auto now = Clock::now();
    const bool current =
        followingEvents_ ? !membershipStale_ : now - membershipTime_ < kMembershipMaxAge;
    if (!forceFresh && current)
        return membership_;
    membershipStale_ = false;
    membership_.clear();
    if (modes_.mode() == Mode::I3) {
        if (auto tree = i3_.request(i3::MessageType::GetTree)) {
            bool truncated = false;
            membership_ = desktop::i3WindowSpaces(*tree, &truncated);
            noteTruncatedLocked(truncated);
        }
    } else {
        const auto count = std::min<std::uint32_t>(
            rootCardinal(*x_, x_->ewmh()._NET_NUMBER_OF_DESKTOPS).value_or(0),
            std::uint32_t(desktop::kMaxDesktopItems));
        const auto clients = rootWindowList(*x_, x_->ewmh()._NET_CLIENT_LIST);
        for (const auto& window :
             fetchWindowFacts(*x_, clients, {.geometry = false, .desktop = true})) {
            if (!window.exists)
                continue;
            const auto desktop = window.sticky ? desktop::kAllDesktops : window.desktop;
            if (desktop)
                membership_[window.window] = desktop::ewmhSpacesOfDesktop(*desktop, count);
        }
    }
    membershipTime_ = now;
    return membership_;
}

std::optional<Value> X11WindowServer::spacesForWindows(const std::vector<std::int64_t>& windows) {
    std::lock_guard lock(mutex_);
    const auto* membership = &membershipLocked(false);
    const bool allKnown = std::all_of(windows.begin(), windows.end(),
                                      [&](std::int64_t w) { return membership->contains(w); });
    if (!allKnown)
        membership = &membershipLocked(true);
    std::set<std::int64_t> seen;
    ValueArray spaces;
    for (const auto window : windows) {
        const auto it = membership->find(window);
        if (it == membership->end())
            continue;
        for (const auto space : it->second)
            if (seen.insert(space).second)
                spaces.emplace_back(static_cast<long long>(space));
    }
    return Value(std::move(spaces));
}

std::optional<Value> X11WindowServer::windowsOnSpaces(const std::vector<std::int64_t>& spaceIds) {
    std::lock_guard lock(mutex_);
    ValueArray windows;
    for (const auto window :
         desktop::windowsOnSpaces(membershipLocked(!followingEvents_), spaceIds))
        windows.emplace_back(static_cast<long long>(window));
    return Value(std::move(windows));
}

std::optional<WindowServer::SpacesForWindows> X11WindowServer::lookupSpacesForWindows() {
    return SpacesForWindows([this](std::int32_t, int, const std::vector<std::int64_t>& windows) {
        return spacesForWindows(windows);
    });
}

std::optional<WindowServer::WindowsWithOptionsAndTags>
X11WindowServer::lookupWindowsWithOptionsAndTags() {
    return WindowsWithOptionsAndTags(
        [this](std::int32_t, std::int32_t, const std::vector<std::int64_t>& spaceIds, std::int32_t,
               std::uint64_t&, std::uint64_t&) { return windowsOnSpaces(spaceIds); });
}

bool X11WindowServer::canStepDesktops() {
    std::lock_guard lock(mutex_);
    if (modes_.mode() == Mode::I3)
        return i3_.isReachable();
    auto& e = x_->ewmh();
    xcb_ewmh_get_atoms_reply_t supported;
    if (!xcb_ewmh_get_supported_reply(&e, xcb_ewmh_get_supported(&e, 0), &supported, nullptr))
        return false;
    const bool result = std::find(supported.atoms, supported.atoms + supported.atoms_len,
                                  e._NET_CURRENT_DESKTOP) != supported.atoms + supported.atoms_len;
    xcb_ewmh_get_atoms_reply_wipe(&supported);
    return result;
}

bool X11WindowServer::stepDesktop(const std::string& displayID, bool forward) {
    std::lock_guard lock(mutex_);
    if (modes_.mode() == Mode::I3) {
        const std::string command = "focus output " + quoted(displayID) + "; workspace " +
                                    (forward ? "next_on_output" : "prev_on_output");
        auto reply = i3_.request(i3::MessageType::RunCommand, command);
        if (!reply || !reply->is_array())
            return false;
        return std::all_of(reply->begin(), reply->end(), [](const nlohmann::json& result) {
            return result.is_object() && result.value("success", false);
        });
    }
    auto& e = x_->ewmh();
    const auto count = rootCardinal(*x_, e._NET_NUMBER_OF_DESKTOPS);
    auto current = rootCardinal(*x_, e._NET_CURRENT_DESKTOP);
    if (!count || !current)
        return false;
    if (requestedDesktop_ && Clock::now() - requestTime_ < kPendingRequestLifetime)
        current = requestedDesktop_;
    // A swipe past the last desktop goes nowhere.
    if ((forward && *current + 1 >= *count) || (!forward && *current == 0))
        return false;
    const std::uint32_t target = forward ? *current + 1 : *current - 1;
    xcb_ewmh_request_change_current_desktop(&e, 0, target, XCB_CURRENT_TIME);
    requestedDesktop_ = target;
    requestTime_ = Clock::now();
    // A round trip: the server has passed the request on before this returns.
    Reply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(x_->raw(), xcb_get_input_focus(x_->raw()), nullptr));
    x_->checkAlive();
    return true;
}

std::optional<nlohmann::json> X11WindowServer::i3Outputs() {
    std::lock_guard lock(mutex_);
    if (modeLocked() != Mode::I3)
        return std::nullopt;
    return i3_.request(i3::MessageType::GetOutputs);
}

} // namespace tidemark::linux_platform
