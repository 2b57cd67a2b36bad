#include "platform/linux/x11/WindowClose.h"

#include "platform/linux/x11/PropertyValue.h"

#include <algorithm>

namespace tidemark::linux_platform {

namespace {

// More than any window manager or toolkit lists; a longer list is read in part.
constexpr std::uint32_t kMaxSupportedAtoms = 1024;
constexpr std::uint32_t kMaxProtocols = 32;

using PropertyReply = Reply<xcb_get_property_reply_t>;

bool lists(XConnection& x, xcb_get_property_cookie_t cookie, xcb_atom_t atom) {
    PropertyReply reply(xcb_get_property_reply(x.raw(), cookie, nullptr));
    const auto atoms = propertyWords(propertyValue(reply.get()), XCB_ATOM_ATOM);
    return std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

void sendDeleteMessage(XConnection& x, xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = x.ewmh().WM_PROTOCOLS;
    message.data.data32[0] = x.deleteWindowAtom();
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(x.raw(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
}

} // namespace

std::vector<CloseRequest> planWindowClose(bool managerClosesWindows,
                                          const std::vector<ClosableWindow>& windows) {
    std::vector<CloseRequest> requests;
    for (const auto& window : windows) {
        if (managerClosesWindows)
            requests.push_back({window.window, CloseMethod::ManagerRequest});
        else if (window.takesDeleteMessage)
            requests.push_back({window.window, CloseMethod::DeleteMessage});
    }
    return requests;
}

bool closeWindowsPolitely(XConnection& x, const std::vector<xcb_window_t>& windows) {
    if (windows.empty())
        return false;
    auto& e = x.ewmh();
    const auto supported = xcb_get_property(x.raw(), 0, x.root(), e._NET_SUPPORTED, XCB_ATOM_ATOM,
                                            0, kMaxSupportedAtoms);
    std::vector<xcb_get_property_cookie_t> protocols;
    protocols.reserve(windows.size());
    for (const auto window : windows)
        protocols.push_back(
            xcb_get_property(x.raw(), 0, window, e.WM_PROTOCOLS, XCB_ATOM_ATOM, 0, kMaxProtocols));
    const bool managerCloses = lists(x, supported, e._NET_CLOSE_WINDOW);
    std::vector<ClosableWindow> closable;
    closable.reserve(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i)
        closable.push_back({windows[i], lists(x, protocols[i], x.deleteWindowAtom())});
    x.checkAlive();

    const auto requests = planWindowClose(managerCloses, closable);
    for (const auto& request : requests) {
        if (request.method == CloseMethod::ManagerRequest)
            xcb_ewmh_request_close_window(&e, x.screenNumber(), request.window, XCB_CURRENT_TIME,
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
        else
            sendDeleteMessage(x, request.window);
    }
    if (requests.empty())
        return false;
    // A round trip: the requests are through before this answers.
    Reply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(x.raw(), xcb_get_input_focus(x.raw()), nullptr));
    x.checkAlive();
    return true;
}

} // namespace tidemark::linux_platform
