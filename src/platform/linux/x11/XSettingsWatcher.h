#pragma once

#include "platform/linux/x11/XConnection.h"

#include <memory>
#include <optional>
#include <string>

namespace tidemark::linux_platform {

// The theme name an XSETTINGS manager publishes: the owner of the `_XSETTINGS_S<screen>`
// selection keeps it in its `_XSETTINGS_SETTINGS` property. Its changes are the owner's
// PropertyNotify, a new owner's MANAGER message on the root and the owner's destruction.
// Main queue only.
class XSettingsWatcher {
public:
    // `x` answers the queries; `events` carries the events handed to `handle`.
    XSettingsWatcher(std::shared_ptr<XConnection> x, std::shared_ptr<XConnection> events)
        : x_(std::move(x)), events_(std::move(events)) {}

    // Nothing without a manager or without the setting; read once, then kept by `handle`.
    std::optional<std::string> themeName();
    // Selects the owner's events on the events connection; the root's StructureNotify (for
    // MANAGER) is the caller's to select, as the root's event mask is shared.
    void startObserving();
    // Whether the event changed the theme name.
    bool handle(const xcb_generic_event_t& event);

private:
    void internAtoms();
    void findOwner();
    void read();

    std::shared_ptr<XConnection> x_;
    std::shared_ptr<XConnection> events_;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
    xcb_atom_t settings_ = XCB_ATOM_NONE;
    xcb_atom_t manager_ = XCB_ATOM_NONE;
    xcb_window_t owner_ = XCB_WINDOW_NONE;
    std::optional<std::string> theme_;
    bool known_ = false;
    bool observing_ = false;
};

} // namespace tidemark::linux_platform
