#pragma once

#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/x11/DesktopEvents.h"
#include "platform/linux/x11/DesktopMode.h"
#include "platform/linux/x11/DesktopModel.h"
#include "platform/linux/x11/WindowFacts.h"
#include "platform/linux/x11/XConnection.h"
#include "spaces/WindowServer.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace tidemark::linux_platform {

// The window server of an X11 desktop. Under i3 (its IPC socket is advertised on the root
// window) every output is a display with its own workspaces; under any other EWMH manager
// the screen is one display with the global desktops.
class X11WindowServer final : public WindowServer {
public:
    using Mode = DesktopModeTracker::Mode;

    explicit X11WindowServer(std::shared_ptr<XConnection> x);

    Mode mode();
    XConnection& connection() { return *x_; }

    DisplayList displays() override;
    // Every client window front to back, with the spaces it is on.
    SharedWindowList windows() override;

    // Whether the manager takes requests to change the current desktop: what allows a click
    // to switch.
    bool takesSwitchRequests();
    // i3 shows the workspace by name on its own output; any other manager is asked for the
    // desktop.
    bool switchesDirectly() const override { return true; }
    bool makeCurrent(SpaceId space) override;
    // i3: a command per container, by the workspace's name; EWMH: a _NET_WM_DESKTOP request
    // per window. Windows on every space stay.
    WindowMoveResult moveWindows(std::int32_t pid, SpaceId from, SpaceId to) override;

    // From now on the desktop's events tell when windows may have moved between spaces or
    // the spaces changed (`desktopChanged`), so these are asked again only then rather than
    // at every refresh: an idle desktop costs the half-second check no i3 tree, and an i3
    // event that says enough itself (a window closed or full screen) is followed into the
    // tree kept, whose workspaces are asked again only after a workspace or output event. The
    // window list is kept until an X event or a change of the tree (the workspace watches
    // each client's size and properties and names those that changed, whose facts alone are
    // asked again); its spaces come from the tree kept since the last event that may have
    // moved a window.
    void followDesktopEvents();
    void desktopChanged(const desktop::EventTurn& turn);

    // i3's `get_outputs` answer; nothing under another manager or when i3 does not answer.
    std::optional<nlohmann::json> i3Outputs();

    // The identifier of the one display under a plain EWMH manager.
    static constexpr const char* kScreenDisplayID = "screen";

private:
    using Clock = std::chrono::steady_clock;

    // The mode, probing i3 again when one is due.
    Mode modeLocked();
    // Probes i3 now; a change of mode leaves the tree's membership unfollowed meanwhile.
    Mode recordReachLocked();
    // Reports once that i3 listed more than is read.
    void noteTruncatedLocked(bool truncated);
    std::optional<std::vector<Display>> displaysLocked();
    std::optional<std::vector<Display>> i3DisplaysLocked();
    std::optional<std::vector<Display>> ewmhDisplaysLocked();

    // The client windows front to back (desktop elements left out) with their facts, and
    // under EWMH the desktop count.
    struct Clients {
        std::vector<xcb_window_t> shown;
        std::map<xcb_window_t, WindowFacts> facts;
        std::uint32_t desktopCount = 0;
    };
    Clients clientsLocked(bool ewmh);
    // The same in two halves: the requests sent, and their replies read into the kept facts.
    struct ClientRequests {
        bool ewmh = false;
        xcb_get_property_cookie_t stacking;
        std::optional<xcb_get_property_cookie_t> desktopCount;
        WindowFactsRequests facts;
    };
    ClientRequests requestClientsLocked(bool ewmh);
    Clients takeClientsLocked(const ClientRequests& requests);
    SharedWindowList windowListLocked(const Clients& clients);

    // What the i3 tree tells, with the owners of the full-screen workspaces' windows.
    struct TreeAnswer {
        desktop::I3Tree tree;
        std::map<SpaceId, std::optional<std::int32_t>> fullScreenOwners;
    };
    // A refresh asks for the displays, then for the window list: both read the tree.
    enum class TreeReader { Displays, WindowList };
    // Fetched anew unless it knows every one of `windows` and is current: followed and
    // unchanged since, or, without events, fetched for the displays of the window list's own
    // refresh.
    const TreeAnswer& i3TreeLocked(TreeReader reader,
                                   const std::vector<xcb_window_t>& windows = {});
    bool ewmhSupportsCurrentDesktopLocked();
    bool i3MakeCurrentLocked(SpaceId space);
    bool ewmhMakeCurrentLocked(SpaceId space);
    WindowMoveResult i3MoveWindowsLocked(std::int32_t pid, SpaceId from, SpaceId to);
    WindowMoveResult ewmhMoveWindowsLocked(std::int32_t pid, SpaceId from, SpaceId to);
    // One round trip: the server has passed every request on before it returns.
    void syncLocked();

    // An answer kept while no desktop event came after it; a failed answer (null) is not kept.
    template <typename Answer> struct KeptAnswer {
        Answer value;
        std::uint64_t eventCount = 0;
        Mode mode = Mode::Ewmh;
    };
    // Under EWMH any event may have changed the desktops; i3's displays are made at each
    // call from what is kept of them (outputs, workspaces, the tree).
    bool displaysAreCurrentLocked() const;
    void updateFullScreenOwnersLocked();
    template <typename Answer> bool isCurrentLocked(const KeptAnswer<Answer>& answer) const;
    template <typename Answer> void keepLocked(KeptAnswer<Answer>& answer, const Answer& value);

    std::shared_ptr<XConnection> x_;
    std::mutex mutex_;
    DesktopModeTracker modes_;
    i3::Client i3_;
    bool reportedTruncation_ = false;
    TreeAnswer tree_;
    bool followingEvents_ = false;
    bool membershipStale_ = true;
    // A followed event changed which workspaces are full screen.
    bool fullScreenOwnersStale_ = false;
    // Without events: the tree the displays were read from awaits their window list.
    bool treeAwaitsWindowList_ = false;
    std::uint64_t desktopEventCount_ = 0;
    KeptAnswer<DisplayList> displays_;
    KeptAnswer<SharedWindowList> windowList_;
    // The windows of the last window list, whose facts go out with the next one's request.
    std::vector<xcb_window_t> listedWindows_;
    // While following events: the facts of the listed clients, asked again only for the
    // windows an event named since (`staleFacts_`). A client's map state is as of its last
    // facts then; a space's windows come from the tree or their desktops, not from it.
    std::map<xcb_window_t, WindowFacts> keptFacts_;
    std::set<xcb_window_t> staleFacts_;
    // The next client list, asked when an event made the last one stale.
    std::optional<ClientRequests> pendingClients_;
    bool keptFactsHaveDesktops_ = false;
    // i3's outputs and workspaces change only with word of them from i3: kept until then.
    std::optional<nlohmann::json> i3Outputs_;
    std::optional<std::vector<Display>> i3Workspaces_;
    std::uint64_t i3WorkspaceEvents_ = 0;
    std::uint64_t i3WorkspacesAsOf_ = 0;
};

} // namespace tidemark::linux_platform
