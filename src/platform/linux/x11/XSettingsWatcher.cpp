#include "platform/linux/x11/XSettingsWatcher.h"

#include "platform/linux/x11/PropertyValue.h"
#include "platform/linux/x11/XSettings.h"

#include <array>
#include <span>
#include <string>

namespace tidemark::linux_platform {
namespace {

// Far more than any desktop's settings; a larger property is read cut short and refused.
constexpr std::uint32_t kMaxSettingsWords = 64 * 1024 / 4;

} // namespace

void XSettingsWatcher::internAtoms() {
    if (selection_ != XCB_ATOM_NONE)
        return;
    const std::string selection = "_XSETTINGS_S" + std::to_string(x_->screenNumber());
    const std::array<std::string, 3> names{selection, "_XSETTINGS_SETTINGS", "MANAGER"};
    std::array<xcb_intern_atom_cookie_t, 3> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] =
            xcb_intern_atom(x_->raw(), 0, std::uint16_t(names[i].size()), names[i].c_str());
    std::array<xcb_atom_t, 3> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(x_->raw(), cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    selection_ = atoms[0];
    settings_ = atoms[1];
    manager_ = atoms[2];
}

std::optional<std::string> XSettingsWatcher::themeName() {
    if (!known_) {
        findOwner();
        read();
    }
    return theme_;
}

void XSettingsWatcher::startObserving() {
    observing_ = true;
    // From here on the owner's events keep the name current; look once more so that a
    // change between the first reading and the selection is not missed.
    findOwner();
    read();
}

void XSettingsWatcher::findOwner() {
    internAtoms();
    owner_ = XCB_WINDOW_NONE;
    if (selection_ == XCB_ATOM_NONE)
        return;
    Reply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
        x_->raw(), xcb_get_selection_owner(x_->raw(), selection_), nullptr));
    if (reply)
        owner_ = reply->owner;
    if (observing_ && owner_ != XCB_WINDOW_NONE) {
        // An owner gone meanwhile makes this fail harmlessly (unchecked request).
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(events_->raw(), owner_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(events_->raw());
    }
}

void XSettingsWatcher::read() {
    known_ = true;
    theme_.reset();
    if (owner_ == XCB_WINDOW_NONE)
        return;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        x_->raw(),
        xcb_get_property(x_->raw(), 0, owner_, settings_, settings_, 0, kMaxSettingsWords),
        nullptr));
    if (!reply || reply->bytes_after != 0)
        return;
    const auto value = propertyValue(reply.get());
    if (value.format != 8)
        return;
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(value.bytes.data()),
                          value.bytes.size());
    if (const auto settings = xsettings::parse(bytes))
        theme_ = xsettings::themeName(*settings);
}

bool XSettingsWatcher::handle(const xcb_generic_event_t& event) {
    if (selection_ == XCB_ATOM_NONE)
        return false;
    const auto before = theme_;
    switch (event.response_type & 0x7f) {
    case XCB_CLIENT_MESSAGE: {
        const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
        if (message.type != manager_ || message.format != 32 ||
            message.data.data32[1] != selection_)
            return false;
        findOwner();
        break;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (notify.window != owner_ || owner_ == XCB_WINDOW_NONE || notify.atom != settings_)
            return false;
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto& destroyed = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
        if (destroyed.window != owner_ || owner_ == XCB_WINDOW_NONE)
            return false;
        findOwner();
        break;
    }
    default:
        return false;
    }
    read();
    return theme_ != before;
}

} // namespace tidemark::linux_platform
