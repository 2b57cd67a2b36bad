// A mouse for a Wayland compositor without one: a virtual pointer (wlr-virtual-pointer) that
// lives as long as this process, so that the seat has a pointer before the client under test
// starts, as with a real mouse. Usage: tidemark_virtual_pointer LAYOUT_WIDTH LAYOUT_HEIGHT,
// then one command a line on standard input, each answered "ok" once the compositor has it:
//   move X Y         (in the compositor's layout)
//   left | right     (a click)
//   up | down        (a wheel notch)
#include "wlr-virtual-pointer-unstable-v1-client.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <linux/input-event-codes.h>
#include <sstream>
#include <string>
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
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LAYOUT_WIDTH LAYOUT_HEIGHT\n", argv[0]);
        return 2;
    }
    const auto width = std::uint32_t(std::atoi(argv[1]));
    const auto height = std::uint32_t(std::atoi(argv[2]));
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
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "move") {
            std::uint32_t x = 0, y = 0;
            words >> x >> y;
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now++, x, y, width, height);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (command == "left" || command == "right") {
            button(pointer, command == "left" ? BTN_LEFT : BTN_RIGHT);
        } else if (command == "up" || command == "down") {
            notch(pointer, command == "down" ? 1 : -1);
        } else {
            std::cout << "unknown command" << std::endl;
            continue;
        }
        // Through once the compositor answered what came after it.
        if (wl_display_roundtrip(display) < 0)
            return 1;
        std::cout << "ok" << std::endl;
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
