// Moves, clicks and turns the wheel of a virtual pointer (wlr-virtual-pointer) of a Wayland
// compositor, as a user's mouse would. Usage:
//   tidemark_virtual_pointer LAYOUT_WIDTH LAYOUT_HEIGHT X Y [left|right|down|up]...
// The position is in the compositor's layout; each later word is a click or a wheel notch.
#include "wlr-virtual-pointer-unstable-v1-client.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <linux/input-event-codes.h>
#include <string_view>
#include <wayland-client.h>

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;
wl_seat* seat = nullptr;

void global(void*, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}
void globalRemove(void*, wl_registry*, std::uint32_t) {}

std::uint32_t now = 1;

void button(zwlr_virtual_pointer_v1* pointer, std::uint32_t code) {
    zwlr_virtual_pointer_v1_button(pointer, now++, code, WL_POINTER_BUTTON_STATE_PRESSED);
    zwlr_virtual_pointer_v1_frame(pointer);
    zwlr_virtual_pointer_v1_button(pointer, now++, code, WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(pointer);
}

void notch(zwlr_virtual_pointer_v1* pointer, int direction) {
    zwlr_virtual_pointer_v1_axis_source(pointer, WL_POINTER_AXIS_SOURCE_WHEEL);
    zwlr_virtual_pointer_v1_axis_discrete(pointer, now++, WL_POINTER_AXIS_VERTICAL_SCROLL,
                                          wl_fixed_from_int(15 * direction), direction);
    zwlr_virtual_pointer_v1_frame(pointer);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s LAYOUT_WIDTH LAYOUT_HEIGHT X Y [left|right|down|up]...\n",
                     argv[0]);
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "virtual_pointer: no Wayland compositor\n");
        return 1;
    }
    static const wl_registry_listener listener{&global, &globalRemove};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, nullptr);
    wl_display_roundtrip(display);
    if (!manager) {
        std::fprintf(stderr, "virtual_pointer: the compositor has no virtual pointers\n");
        return 1;
    }
    auto* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    zwlr_virtual_pointer_v1_motion_absolute(pointer, now++, std::atoi(argv[3]), std::atoi(argv[4]),
                                            std::atoi(argv[1]), std::atoi(argv[2]));
    zwlr_virtual_pointer_v1_frame(pointer);
    for (int i = 5; i < argc; ++i) {
        const std::string_view word(argv[i]);
        if (word == "left")
            button(pointer, BTN_LEFT);
        else if (word == "right")
            button(pointer, BTN_RIGHT);
        else if (word == "down" || word == "up")
            notch(pointer, word == "down" ? 1 : -1);
    }
    // The requests are through once the compositor answered what came after them; the
    // pointer stays where it was put when this client goes.
    wl_display_roundtrip(display);
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
