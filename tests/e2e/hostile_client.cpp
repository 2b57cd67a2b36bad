// An X client that lies and misbehaves: a forged _NET_WM_PID, a title of a megabyte, a
// WM_CLASS that is not UTF-8, properties of the wrong type or format and an icon whose
// header claims more pixels than it carries. It maps one window and waits to be killed.
#include "TestClient.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

using test_client::atom;

void set(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type, int format,
         const void* data, std::size_t bytes) {
    const auto units = static_cast<uint32_t>(bytes / (format / 8));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, static_cast<uint8_t>(format),
                        units, data);
}

} // namespace

int main(int argc, char** argv) {
    const uint32_t forgedPid =
        argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1;
    const auto connection = test_client::connect();
    if (!connection.c)
        return 1;
    xcb_connection_t* c = connection.c;
    xcb_screen_t* screen = connection.screen;

    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 300, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);

    const xcb_atom_t cardinal = XCB_ATOM_CARDINAL;
    const xcb_atom_t string = XCB_ATOM_STRING;
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");

    set(c, w, atom(c, "_NET_WM_PID"), cardinal, 32, &forgedPid, 4);

    const std::string hugeTitle(1 << 20, 'T');
    set(c, w, XCB_ATOM_WM_NAME, string, 8, hugeTitle.data(), hugeTitle.size());
    std::string badUtf8;
    for (int i = 0; i < (1 << 20) / 4; ++i)
        badUtf8 += "\xff\xc3\x28\xe2";
    set(c, w, atom(c, "_NET_WM_NAME"), utf8, 8, badUtf8.data(), badUtf8.size());

    const char wmClass[] = "\xff\xfe"
                           "evil\0\xc3\x28Hostile\xed\xa0\x80";
    set(c, w, XCB_ATOM_WM_CLASS, string, 8, wmClass, sizeof wmClass);

    const char notAnAtom[] = "_NET_WM_WINDOW_TYPE_DOCK";
    set(c, w, atom(c, "_NET_WM_WINDOW_TYPE"), string, 8, notAnAtom, sizeof notAnAtom - 1);
    const char everywhere[] = "0xFFFFFFFF";
    set(c, w, atom(c, "_NET_WM_DESKTOP"), string, 8, everywhere, sizeof everywhere - 1);
    const uint16_t opacity[] = {0, 0};
    set(c, w, atom(c, "_NET_WM_WINDOW_OPACITY"), cardinal, 16, opacity, sizeof opacity);
    const uint32_t state[] = {0xdeadbeef, 7};
    set(c, w, atom(c, "_NET_WM_STATE"), cardinal, 32, state, sizeof state);
    const uint32_t icon[] = {100000, 100000, 0xffff0000, 0xff00ff00};
    set(c, w, atom(c, "_NET_WM_ICON"), cardinal, 32, icon, sizeof icon);

    xcb_map_window(c, w);
    xcb_flush(c);
    std::printf("0x%x\n", w);
    std::fflush(stdout);
    for (;;) {
        xcb_generic_event_t* event = xcb_wait_for_event(c);
        if (!event)
            return 0;
        std::free(event);
    }
}
