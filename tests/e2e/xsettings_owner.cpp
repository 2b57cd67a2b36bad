// A minimal XSETTINGS manager: owns _XSETTINGS_S<screen>, announces itself with the MANAGER
// message and publishes Net/ThemeName (its first argument). Each line read from standard
// input becomes the new theme name; end of input ends it.
#include "TestClient.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

using test_client::atom;

// The settings property in this machine's byte order, as the protocol lets a manager write it.
std::vector<uint8_t> settings(const std::string& theme, uint32_t serial) {
    std::vector<uint8_t> bytes;
    const auto add = [&](const void* data, std::size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i)
            bytes.push_back(p[i]);
    };
    const auto pad = [&] {
        while (bytes.size() % 4)
            bytes.push_back(0);
    };
    const uint16_t probe = 1;
    const uint8_t order = *reinterpret_cast<const uint8_t*>(&probe) == 1 ? 0 : 1;
    const uint32_t count = 1;
    const std::string name = "Net/ThemeName";
    const auto nameLength = static_cast<uint16_t>(name.size());
    const auto themeLength = static_cast<uint32_t>(theme.size());
    bytes.push_back(order);
    for (int i = 0; i < 3; ++i)
        bytes.push_back(0);
    add(&serial, 4);
    add(&count, 4);
    bytes.push_back(1); // string
    bytes.push_back(0);
    add(&nameLength, 2);
    add(name.data(), name.size());
    pad();
    add(&serial, 4);
    add(&themeLength, 4);
    add(theme.data(), theme.size());
    pad();
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    std::string theme = argc > 1 ? argv[1] : "Adwaita";
    const auto connection = test_client::connect();
    if (!connection.c)
        return 1;
    xcb_connection_t* c = connection.c;
    const xcb_window_t root = connection.screen->root;
    const xcb_atom_t selection = atom(c, "_XSETTINGS_S" + std::to_string(connection.screenNumber));
    const xcb_atom_t property = atom(c, "_XSETTINGS_SETTINGS");
    const xcb_atom_t manager = atom(c, "MANAGER");

    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    uint32_t serial = 0;
    const auto publish = [&] {
        const auto bytes = settings(theme, serial++);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, property, 8,
                            static_cast<uint32_t>(bytes.size()), bytes.data());
        xcb_flush(c);
    };
    publish();
    xcb_set_selection_owner(c, window, selection, XCB_CURRENT_TIME);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = root;
    message.type = manager;
    message.data.data32[0] = XCB_CURRENT_TIME;
    message.data.data32[1] = selection;
    message.data.data32[2] = window;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    std::printf("owner %u\n", window);
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line)) {
        theme = line;
        publish();
        std::printf("theme %s\n", theme.c_str());
        std::fflush(stdout);
    }
    xcb_disconnect(c);
    return 0;
}
