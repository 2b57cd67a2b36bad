#pragma once

// What the small X clients of the live tests share: a connection with its screen, and atoms.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <xcb/xcb.h>

namespace test_client {

struct Connection {
    xcb_connection_t* c = nullptr;
    xcb_screen_t* screen = nullptr;
    int screenNumber = 0;
};

// Nothing (a null `c`) when no X server answers.
inline Connection connect() {
    Connection connection;
    connection.c = xcb_connect(nullptr, &connection.screenNumber);
    if (xcb_connection_has_error(connection.c))
        return {};
    auto it = xcb_setup_roots_iterator(xcb_get_setup(connection.c));
    for (int i = 0; i < connection.screenNumber; ++i)
        xcb_screen_next(&it);
    connection.screen = it.data;
    return connection;
}

inline xcb_atom_t atom(xcb_connection_t* c, const std::string& name) {
    auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str());
    auto* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

} // namespace test_client
