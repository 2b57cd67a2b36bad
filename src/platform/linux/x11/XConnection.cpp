#include "platform/linux/x11/XConnection.h"

#include "platform/linux/x11/PropertyValue.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/res.h>

namespace tidemark::linux_platform {

namespace {

constexpr std::size_t kMaxNameBytes = 256;
constexpr std::size_t kMaxPathBytes = 4096;

xcb_intern_atom_cookie_t requestAtom(xcb_connection_t* connection, const char* name) {
    return xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
}

xcb_atom_t takeAtom(xcb_connection_t* connection, xcb_intern_atom_cookie_t cookie) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::optional<std::string> stringProperty(xcb_connection_t* connection, xcb_window_t window,
                                          xcb_atom_t atom, std::size_t maxBytes) {
    if (atom == XCB_ATOM_NONE)
        return std::nullopt;
    auto cookie = xcb_get_property(connection, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0,
                                   static_cast<std::uint32_t>((maxBytes + 3) / 4));
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
    return propertyText(propertyValue(reply.get()), maxBytes);
}

} // namespace

std::shared_ptr<XConnection> XConnection::open(const char* displayName) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection)
            xcb_disconnect(connection);
        return nullptr;
    }
    std::shared_ptr<XConnection> result(new XConnection());
    result->connection_ = connection;
    auto it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem)
        return nullptr;
    result->screen_ = it.data;
    result->screenNumber_ = screenNumber;

    // Every request goes out before the first reply is read: one round trip, not five.
    auto* cookies = xcb_ewmh_init_atoms(connection, &result->ewmh_);
    const auto i3SocketPath = requestAtom(connection, "I3_SOCKET_PATH");
    const auto opacity = requestAtom(connection, "_NET_WM_WINDOW_OPACITY");
    const auto deleteWindow = requestAtom(connection, "WM_DELETE_WINDOW");
    xcb_prefetch_extension_data(connection, &xcb_res_id);
    if (!xcb_ewmh_init_atoms_replies(&result->ewmh_, cookies, nullptr))
        return nullptr;
    result->ewmhReady_ = true;
    result->i3SocketPath_ = takeAtom(connection, i3SocketPath);
    result->opacity_ = takeAtom(connection, opacity);
    result->deleteWindow_ = takeAtom(connection, deleteWindow);
    const auto* res = xcb_get_extension_data(connection, &xcb_res_id);
    if (res && res->present) {
        auto cookie = xcb_res_query_version(connection, 1, 2);
        Reply<xcb_res_query_version_reply_t> version(
            xcb_res_query_version_reply(connection, cookie, nullptr));
        result->hasXRes_ = version && (version->server_major > 1 ||
                                       (version->server_major == 1 && version->server_minor >= 2));
    }
    return result;
}

XConnection::~XConnection() {
    if (ewmhReady_)
        xcb_ewmh_connection_wipe(&ewmh_);
    if (connection_)
        xcb_disconnect(connection_);
}

void XConnection::checkAlive() {
    if (!hasError())
        return;
    std::fputs("tidemark: lost the connection to the X server\n", stderr);
    std::exit(1);
}

std::optional<std::string> XConnection::windowManagerName() {
    xcb_window_t check = 0;
    if (!xcb_ewmh_get_supporting_wm_check_reply(
            &ewmh_, xcb_ewmh_get_supporting_wm_check(&ewmh_, root()), &check, nullptr))
        return std::nullopt;
    return stringProperty(connection_, check, ewmh_._NET_WM_NAME, kMaxNameBytes);
}

std::optional<std::string> XConnection::i3SocketPath() {
    return stringProperty(connection_, root(), i3SocketPath_, kMaxPathBytes);
}

} // namespace tidemark::linux_platform
