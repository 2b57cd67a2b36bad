#pragma once

#include <memory>
#include <optional>
#include <string>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

namespace tidemark::linux_platform {

// One connection to the X server with the EWMH atoms interned. xcb is thread-safe, so the
// window server may be read from a background queue as well.
class XConnection {
public:
    // Nothing when no X server answers on `displayName` (null: $DISPLAY).
    static std::shared_ptr<XConnection> open(const char* displayName = nullptr);
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    xcb_connection_t* raw() const { return connection_; }
    xcb_ewmh_connection_t& ewmh() { return ewmh_; }
    xcb_window_t root() const { return screen_->root; }
    xcb_screen_t& screen() const { return *screen_; }
    int fd() const { return xcb_get_file_descriptor(connection_); }
    int screenNumber() const { return screenNumber_; }

    // Atoms xcb-ewmh does not intern.
    xcb_atom_t i3SocketPathAtom() const { return i3SocketPath_; }
    xcb_atom_t opacityAtom() const { return opacity_; }
    xcb_atom_t deleteWindowAtom() const { return deleteWindow_; }

    // Whether the X extensions are there.
    bool hasXRes() const { return hasXRes_; }

    // A broken connection cannot be repaired: report it on one line and end the program.
    // Called after every batch of replies: a lost server ends the program with one line.
    void checkAlive();
    bool hasError() const { return xcb_connection_has_error(connection_) != 0; }

    // Name of the running window manager (from _NET_SUPPORTING_WM_CHECK), if any.
    std::optional<std::string> windowManagerName();
    // The i3 IPC socket path advertised on the root window, if any.
    std::optional<std::string> i3SocketPath();

private:
    XConnection() = default;

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    int screenNumber_ = 0;
    xcb_ewmh_connection_t ewmh_{};
    bool ewmhReady_ = false;
    xcb_atom_t i3SocketPath_ = XCB_ATOM_NONE;
    xcb_atom_t opacity_ = XCB_ATOM_NONE;
    xcb_atom_t deleteWindow_ = XCB_ATOM_NONE;
    bool hasXRes_ = false;
};

// Frees an xcb reply on scope exit.
template <typename T> struct ReplyDeleter {
    void operator()(T* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, ReplyDeleter<T>>;

} // namespace tidemark::linux_platform
