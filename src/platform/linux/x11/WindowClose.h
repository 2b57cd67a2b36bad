#pragma once

#include "platform/linux/x11/XConnection.h"

#include <vector>

namespace tidemark::linux_platform {

// A polite close goes to the window manager (`_NET_CLOSE_WINDOW`), which may also end a
// client that takes no close message, or to the client itself (ICCCM `WM_DELETE_WINDOW`).
enum class CloseMethod { ManagerRequest, DeleteMessage };

struct ClosableWindow {
    xcb_window_t window = 0;
    // WM_PROTOCOLS lists WM_DELETE_WINDOW.
    bool takesDeleteMessage = false;
};

struct CloseRequest {
    xcb_window_t window = 0;
    CloseMethod method = CloseMethod::ManagerRequest;
    friend bool operator==(const CloseRequest&, const CloseRequest&) = default;
};

// The requests that close these windows politely: each to the window manager where it lists
// `_NET_CLOSE_WINDOW` in `_NET_SUPPORTED` (a request it does not list may be dropped
// unseen), else the delete message to each window whose client takes it. A window that
// takes neither gets nothing; empty means there is nothing to send.
std::vector<CloseRequest> planWindowClose(bool managerClosesWindows,
                                          const std::vector<ClosableWindow>& windows);

// Reads what the manager and the clients take (one round trip), sends the planned requests
// and waits until the server has passed them on. True only when a request went out.
bool closeWindowsPolitely(XConnection& x, const std::vector<xcb_window_t>& windows);

} // namespace tidemark::linux_platform
