#pragma once

#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/x11/DesktopMode.h"
#include "platform/linux/x11/DesktopModel.h"
#include "platform/linux/x11/XConnection.h"
#include "spaces/WindowServer.h"

#include <chrono>
#include <memory>
#include <mutex>

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

    std::int32_t defaultConnection() override { return 1; }
    std::optional<Value> copyManagedDisplaySpaces(std::int32_t connection) override;
    std::optional<Value> copyWindowInfo(std::uint32_t options,
                                        std::uint32_t relativeToWindow) override;
    std::optional<SpacesForWindows> lookupSpacesForWindows() override;
    std::optional<WindowsWithOptionsAndTags> lookupWindowsWithOptionsAndTags() override;

    // Desktop stepping, for the event poster: whether the manager takes requests to change
    // the current desktop, and one step on `displayID` (an i3 output, or the screen).
    bool canStepDesktops();
    bool stepDesktop(const std::string& displayID, bool forward);

    // From now on the desktop's events tell when windows may have moved between spaces or
    // the spaces changed (`desktopChanged`), so these are asked again only then rather than
    // at every refresh: an idle desktop costs the half-second check no i3 tree. The window
    // list, whose sizes change without an event this program hears, is kept only briefly,
    // for the refreshes that one switch or activation sets off together.
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
    // Reports once that i3 listed more than is read.
    void noteTruncatedLocked(bool truncated);
    std::optional<Value> displaysLocked();
    std::optional<Value> i3DisplaysLocked();
    std::optional<Value> ewmhDisplaysLocked();
    // Which spaces each client window is on, fetched anew when older than a refresh.
    const desktop::WindowSpaces& membershipLocked(bool forceFresh);
    std::optional<Value> spacesForWindows(const std::vector<std::int64_t>& windows);
    std::optional<Value> windowsOnSpaces(const std::vector<std::int64_t>& spaceIds);
    std::optional<Value> windowListLocked(std::uint32_t options);

    // An answer kept while no desktop event came after it and, with a `maxAge`, while young;
    // a failed answer (no value) is not kept.
    struct KeptAnswer {
        std::optional<Value> value;
        std::uint64_t eventCount = 0;
        Clock::time_point time{};
    };
    bool isCurrentLocked(const KeptAnswer& answer,
                         std::optional<Clock::duration> maxAge = std::nullopt) const;
    void keepLocked(KeptAnswer& answer, const std::optional<Value>& value);

    std::shared_ptr<XConnection> x_;
    std::mutex mutex_;
    DesktopModeTracker modes_;
    i3::Client i3_;
    bool reportedTruncation_ = false;
    desktop::WindowSpaces membership_;
    Clock::time_point membershipTime_{};
    bool followingEvents_ = false;
    bool membershipStale_ = true;
    std::uint64_t desktopEventCount_ = 0;
    KeptAnswer displays_;
    KeptAnswer windowList_;
    std::uint32_t windowListOptions_ = 0;
    // The windows of the last window list, whose facts go out with the next one's request.
    std::vector<xcb_window_t> listedWindows_;
    // The desktop last asked for: a step that follows before the manager caught up counts
    // from there, not from the desktop still shown.
    std::optional<std::uint32_t> requestedDesktop_;
    Clock::time_point requestTime_{};
};

} // namespace tidemark::linux_platform
