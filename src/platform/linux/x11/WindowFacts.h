#pragma once

#include "platform/linux/x11/XConnection.h"
#include "spaces/WindowServer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <xcb/res.h>

namespace tidemark::linux_platform {

enum class WindowKind { Normal, Dock, Desktop, Other };

// What one batch of X requests tells about a client window. Properties of the wrong type or
// format count as absent; text is bounded, repaired UTF-8.
struct WindowFacts {
    xcb_window_t window = 0;
    // False when the window vanished before its geometry reply: skip it.
    bool exists = false;
    double width = 0, height = 0;
    WindowKind kind = WindowKind::Normal;
    std::optional<double> alpha;
    bool viewable = false;
    bool hidden = false;
    bool sticky = false;
    bool skipTaskbar = false;
    bool fullScreen = false;
    // Asks for attention: the demands-attention state, or the urgency hint when asked for.
    bool urgent = false;
    std::optional<std::uint32_t> desktop;
    // From XRes; `_NET_WM_PID` only when XRes cannot tell.
    std::optional<std::int32_t> pid;
    std::string instanceName;
    std::string className;
    friend bool operator==(const WindowFacts&, const WindowFacts&) = default;
};

// What to ask beyond the window type, state and owner. Existence is judged from the
// geometry when it is asked for, else from the type property reply.
struct FactsRequest {
    bool geometry = true; // size, map state and opacity
    bool desktop = false;
    bool withClass = false;
    bool urgencyHint = false; // WM_HINTS
};

// Sends every request for every window first and only then reads the replies: one round
// trip for the whole list, however long.
std::vector<WindowFacts> fetchWindowFacts(XConnection& x, const std::vector<xcb_window_t>& windows,
                                          FactsRequest what = {});

// The same in two halves, so that other requests can go out between them and share the
// round trip, or the replies be read later: what was sent, and its replies read.
struct WindowFactsRequests {
    struct Cookies {
        xcb_get_geometry_cookie_t geometry;
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_property_cookie_t type, state, opacity, desktop, pid, wmClass, hints;
    };
    std::vector<xcb_window_t> windows;
    FactsRequest what;
    bool claimedPids = false;
    std::vector<Cookies> cookies;
    std::optional<xcb_res_query_client_ids_cookie_t> owners;
};
WindowFactsRequests requestWindowFacts(XConnection& x, std::vector<xcb_window_t> windows,
                                       FactsRequest what = {});
std::vector<WindowFacts> takeWindowFacts(XConnection& x, const WindowFactsRequests& requests);

// Owner pids of windows by XRes, one request for all; absent where the server cannot tell.
std::vector<std::optional<std::int32_t>> ownerPids(XConnection& x,
                                                   const std::vector<xcb_window_t>& windows);

// A root-window window list (_NET_CLIENT_LIST or _NET_CLIENT_LIST_STACKING), its first 1024
// windows; also in two halves, so that other requests can go out between them and share the
// round trip.
std::vector<xcb_window_t> rootWindowList(XConnection& x, xcb_atom_t property);
xcb_get_property_cookie_t requestRootWindowList(XConnection& x, xcb_atom_t property);
std::vector<xcb_window_t> takeRootWindowList(XConnection& x, xcb_get_property_cookie_t cookie);

// A CARDINAL of the root window; also in two halves, like the window lists.
std::optional<std::uint32_t> rootCardinal(XConnection& x, xcb_atom_t property);
xcb_get_property_cookie_t requestRootCardinal(XConnection& x, xcb_atom_t property);
std::optional<std::uint32_t> takeRootCardinal(XConnection& x, xcb_get_property_cookie_t cookie);

// The window-list entry of a window, without its spaces.
WindowInfo windowInfo(const WindowFacts& facts);

// The window-list layer of a window kind (0 for application windows).
int layerOf(WindowKind kind);

// WM_CLASS bytes split into instance and class, each bounded and repaired, without the
// bidirectional controls that would turn the shown name around.
std::pair<std::string, std::string> splitWmClass(std::string_view bytes);

// The largest icon of a _NET_WM_ICON value (width, height, ARGB pixels, repeated), at most
// `maxEdge` pixels wide and high; premultiplied RGBA rows from the top.
struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};
std::optional<IconPixels> bestIcon(const std::uint32_t* words, std::size_t count, int maxEdge);

} // namespace tidemark::linux_platform
