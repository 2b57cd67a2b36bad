#include "platform/linux/x11/WindowFacts.h"

#include "foundation/Text.h"
#include "platform/linux/x11/DesktopModel.h"
#include "platform/linux/x11/PropertyValue.h"

#include <algorithm>
#include <xcb/res.h>

namespace tidemark::linux_platform {

namespace {

constexpr std::size_t kMaxClassBytes = 256;
constexpr std::uint32_t kMaxAtomsRead = 32;

xcb_get_property_cookie_t requestProperty(XConnection& x, xcb_window_t window, xcb_atom_t atom,
                                          xcb_atom_t type, std::uint32_t words) {
    return xcb_get_property(x.raw(), 0, window, atom, type, 0, words);
}

using PropertyReply = Reply<xcb_get_property_reply_t>;

PropertyReply takeProperty(XConnection& x, xcb_get_property_cookie_t cookie) {
    return PropertyReply(xcb_get_property_reply(x.raw(), cookie, nullptr));
}

std::vector<std::uint32_t> words(const PropertyReply& reply, xcb_atom_t type) {
    return propertyWords(propertyValue(reply.get()), type);
}

std::optional<std::uint32_t> firstWord(const PropertyReply& reply, xcb_atom_t type) {
    return firstPropertyWord(propertyValue(reply.get()), type);
}

bool contains(const std::vector<std::uint32_t>& items, xcb_atom_t atom) {
    return std::find(items.begin(), items.end(), atom) != items.end();
}

WindowKind kindOf(XConnection& x, const std::vector<std::uint32_t>& types) {
    auto& e = x.ewmh();
    // The first type the window names that we know decides, as EWMH prescribes.
    for (const auto type : types) {
        if (type == e._NET_WM_WINDOW_TYPE_NORMAL || type == e._NET_WM_WINDOW_TYPE_DIALOG)
            return WindowKind::Normal;
        if (type == e._NET_WM_WINDOW_TYPE_DOCK)
            return WindowKind::Dock;
        if (type == e._NET_WM_WINDOW_TYPE_DESKTOP)
            return WindowKind::Desktop;
        if (type == e._NET_WM_WINDOW_TYPE_UTILITY || type == e._NET_WM_WINDOW_TYPE_TOOLBAR ||
            type == e._NET_WM_WINDOW_TYPE_MENU || type == e._NET_WM_WINDOW_TYPE_SPLASH ||
            type == e._NET_WM_WINDOW_TYPE_NOTIFICATION ||
            type == e._NET_WM_WINDOW_TYPE_DROPDOWN_MENU ||
            type == e._NET_WM_WINDOW_TYPE_POPUP_MENU || type == e._NET_WM_WINDOW_TYPE_TOOLTIP ||
            type == e._NET_WM_WINDOW_TYPE_COMBO || type == e._NET_WM_WINDOW_TYPE_DND)
            return WindowKind::Other;
    }
    return WindowKind::Normal;
}

} // namespace

std::pair<std::string, std::string> splitWmClass(std::string_view bytes) {
    const auto nul = bytes.find('\0');
    const auto instance = bytes.substr(0, nul);
    std::string_view klass;
    if (nul != std::string_view::npos) {
        klass = bytes.substr(nul + 1);
        klass = klass.substr(0, klass.find('\0'));
    }
    return {text::boundedName(instance, kMaxClassBytes), text::boundedName(klass, kMaxClassBytes)};
}

namespace {

// XRes's answer for `windows`, sent; nothing without XRes or windows.
std::optional<xcb_res_query_client_ids_cookie_t>
requestOwnerPids(XConnection& x, const std::vector<xcb_window_t>& windows) {
    if (!x.hasXRes() || windows.empty())
        return std::nullopt;
    std::vector<xcb_res_client_id_spec_t> specs;
    specs.reserve(windows.size());
    for (const auto window : windows)
        specs.push_back({window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID});
    return xcb_res_query_client_ids(x.raw(), static_cast<std::uint32_t>(specs.size()),
                                    specs.data());
}

std::vector<std::optional<std::int32_t>>
takeOwnerPids(XConnection& x, const std::vector<xcb_window_t>& windows,
              std::optional<xcb_res_query_client_ids_cookie_t> cookie) {
    std::vector<std::optional<std::int32_t>> result(windows.size());
    if (!cookie)
        return result;
    Reply<xcb_res_query_client_ids_reply_t> reply(
        xcb_res_query_client_ids_reply(x.raw(), *cookie, nullptr));
    if (!reply)
        return result;
    // The answer names clients, not windows: match by the client bits of the XID.
    const std::uint32_t clientMask = ~xcb_get_setup(x.raw())->resource_id_mask;
    auto it = xcb_res_query_client_ids_ids_iterator(reply.get());
    for (; it.rem; xcb_res_client_id_value_next(&it)) {
        const auto* value = it.data;
        if (!(value->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) || value->length != 4)
            continue;
        const auto pid = *xcb_res_client_id_value_value(value);
        if (pid == 0 || pid > 0x7fffffffu)
            continue;
        for (std::size_t i = 0; i < windows.size(); ++i)
            if ((windows[i] & clientMask) == (value->spec.client & clientMask))
                result[i] = static_cast<std::int32_t>(pid);
    }
    return result;
}

} // namespace

std::vector<std::optional<std::int32_t>> ownerPids(XConnection& x,
                                                   const std::vector<xcb_window_t>& windows) {
    return takeOwnerPids(x, windows, requestOwnerPids(x, windows));
}

WindowFactsRequests requestWindowFacts(XConnection& x, std::vector<xcb_window_t> windows,
                                       FactsRequest what) {
    auto& e = x.ewmh();
    // With XRes, a client it cannot attribute is a remote one, whose _NET_WM_PID names a
    // process on another machine: the claim is only worth reading without XRes.
    WindowFactsRequests requests{.windows = std::move(windows),
                                 .what = what,
                                 .claimedPids = !x.hasXRes(),
                                 .cookies = {},
                                 .owners = std::nullopt};
    requests.cookies.reserve(requests.windows.size());
    for (const auto window : requests.windows) {
        WindowFactsRequests::Cookies c{};
        if (what.geometry) {
            c.geometry = xcb_get_geometry(x.raw(), window);
            c.attributes = xcb_get_window_attributes(x.raw(), window);
            c.opacity = requestProperty(x, window, x.opacityAtom(), XCB_ATOM_CARDINAL, 1);
        }
        c.type = requestProperty(x, window, e._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, kMaxAtomsRead);
        c.state = requestProperty(x, window, e._NET_WM_STATE, XCB_ATOM_ATOM, kMaxAtomsRead);
        if (what.desktop)
            c.desktop = requestProperty(x, window, e._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, 1);
        if (requests.claimedPids)
            c.pid = requestProperty(x, window, e._NET_WM_PID, XCB_ATOM_CARDINAL, 1);
        if (what.withClass)
            c.wmClass = requestProperty(x, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                                        kMaxClassBytes * 2 / 4);
        if (what.urgencyHint)
            c.hints = requestProperty(x, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 1);
        requests.cookies.push_back(c);
    }
    // XRes goes out with the rest; its reply is read after them.
    requests.owners = requestOwnerPids(x, requests.windows);
    return requests;
}

std::vector<WindowFacts> takeWindowFacts(XConnection& x, const WindowFactsRequests& requests) {
    auto& e = x.ewmh();
    const auto& what = requests.what;
    const auto& windows = requests.windows;
    auto pids = takeOwnerPids(x, windows, requests.owners);

    std::vector<WindowFacts> result(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        auto& facts = result[i];
        const auto& c = requests.cookies[i];
        facts.window = windows[i];
        Reply<xcb_get_geometry_reply_t> geometry;
        Reply<xcb_get_window_attributes_reply_t> attributes;
        PropertyReply opacity, desktop, pid, wmClass, hints;
        if (what.geometry) {
            geometry.reset(xcb_get_geometry_reply(x.raw(), c.geometry, nullptr));
            attributes.reset(xcb_get_window_attributes_reply(x.raw(), c.attributes, nullptr));
            opacity = takeProperty(x, c.opacity);
        }
        auto type = takeProperty(x, c.type);
        auto state = takeProperty(x, c.state);
        if (what.desktop)
            desktop = takeProperty(x, c.desktop);
        if (requests.claimedPids)
            pid = takeProperty(x, c.pid);
        if (what.withClass)
            wmClass = takeProperty(x, c.wmClass);
        if (what.urgencyHint)
            hints = takeProperty(x, c.hints);
        if (what.geometry ? (!geometry || !attributes) : !type)
            continue;
        facts.exists = true;
        if (geometry) {
            facts.width = geometry->width;
            facts.height = geometry->height;
            facts.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        }
        facts.kind = kindOf(x, words(type, XCB_ATOM_ATOM));
        const auto states = words(state, XCB_ATOM_ATOM);
        facts.hidden = contains(states, e._NET_WM_STATE_HIDDEN);
        facts.sticky = contains(states, e._NET_WM_STATE_STICKY);
        facts.skipTaskbar = contains(states, e._NET_WM_STATE_SKIP_TASKBAR);
        facts.fullScreen = contains(states, e._NET_WM_STATE_FULLSCREEN);
        facts.urgent = contains(states, e._NET_WM_STATE_DEMANDS_ATTENTION) ||
                       wmHintsUrgent(propertyValue(hints.get()));
        if (const auto value = firstWord(opacity, XCB_ATOM_CARDINAL))
            facts.alpha = static_cast<double>(*value) / 0xffffffffu;
        facts.desktop = firstWord(desktop, XCB_ATOM_CARDINAL);
        facts.pid = pids[i];
        if (!facts.pid)
            facts.pid = claimedPid(propertyValue(pid.get()));
        if (const auto value = propertyValue(wmClass.get()); value.format == 8)
            std::tie(facts.instanceName, facts.className) = splitWmClass(value.bytes);
    }
    x.checkAlive();
    return result;
}

std::vector<WindowFacts> fetchWindowFacts(XConnection& x, const std::vector<xcb_window_t>& windows,
                                          FactsRequest what) {
    return takeWindowFacts(x, requestWindowFacts(x, windows, what));
}

xcb_get_property_cookie_t requestRootWindowList(XConnection& x, xcb_atom_t property) {
    return requestProperty(x, x.root(), property, XCB_ATOM_WINDOW,
                           std::uint32_t(desktop::kMaxDesktopItems));
}

std::vector<xcb_window_t> takeRootWindowList(XConnection& x, xcb_get_property_cookie_t cookie) {
    auto reply = takeProperty(x, cookie);
    x.checkAlive();
    return words(reply, XCB_ATOM_WINDOW);
}

std::vector<xcb_window_t> rootWindowList(XConnection& x, xcb_atom_t property) {
    return takeRootWindowList(x, requestRootWindowList(x, property));
}

xcb_get_property_cookie_t requestRootCardinal(XConnection& x, xcb_atom_t property) {
    return requestProperty(x, x.root(), property, XCB_ATOM_CARDINAL, 1);
}

std::optional<std::uint32_t> takeRootCardinal(XConnection& x, xcb_get_property_cookie_t cookie) {
    auto reply = takeProperty(x, cookie);
    x.checkAlive();
    return firstWord(reply, XCB_ATOM_CARDINAL);
}

std::optional<std::uint32_t> rootCardinal(XConnection& x, xcb_atom_t property) {
    return takeRootCardinal(x, requestRootCardinal(x, property));
}

int layerOf(WindowKind kind) {
    switch (kind) {
    case WindowKind::Normal:
        return 0;
    case WindowKind::Dock:
        return 25;
    case WindowKind::Desktop:
        return -2147483623;
    case WindowKind::Other:
        return 3;
    }
    return 3;
}

WindowInfo windowInfo(const WindowFacts& facts) {
    WindowInfo info;
    info.number = facts.window;
    info.ownerPid = facts.pid;
    info.layer = WindowLayer{.value = double(layerOf(facts.kind)), .integral = true};
    info.alpha = facts.alpha.value_or(1.0);
    info.size = Size{facts.width, facts.height};
    info.onScreen = facts.viewable && !facts.hidden;
    return info;
}

std::optional<IconPixels> bestIcon(const std::uint32_t* data, std::size_t count, int maxEdge) {
    // The largest image that fits, else the smallest one; a malformed entry ends the walk.
    const auto limit = static_cast<std::uint32_t>(maxEdge);
    std::optional<std::pair<std::size_t, std::uint32_t>> best; // offset, edge
    std::size_t offset = 0;
    while (offset + 2 <= count) {
        const std::uint32_t width = data[offset];
        const std::uint32_t height = data[offset + 1];
        if (width == 0 || height == 0 || width > 4096 || height > 4096)
            break;
        const std::size_t pixels = std::size_t{width} * height;
        if (pixels > count - offset - 2)
            break;
        const auto edge = std::max(width, height);
        const bool better = !best ||
                            (edge <= limit && (best->second > limit || edge > best->second)) ||
                            (edge > limit && best->second > limit && edge < best->second);
        if (better)
            best = {{offset, edge}};
        offset += 2 + pixels;
    }
    if (!best)
        return std::nullopt;
    IconPixels icon;
    icon.width = static_cast<int>(data[best->first]);
    icon.height = static_cast<int>(data[best->first + 1]);
    icon.rgba.reserve(static_cast<std::size_t>(icon.width) * icon.height * 4);
    const auto* pixel = data + best->first + 2;
    for (int i = 0; i < icon.width * icon.height; ++i) {
        const auto argb = pixel[i];
        const std::uint32_t a = argb >> 24;
        auto premultiply = [a](std::uint32_t channel) {
            return static_cast<std::uint8_t>((channel * a + 127) / 255);
        };
        icon.rgba.push_back(premultiply((argb >> 16) & 0xff));
        icon.rgba.push_back(premultiply((argb >> 8) & 0xff));
        icon.rgba.push_back(premultiply(argb & 0xff));
        icon.rgba.push_back(static_cast<std::uint8_t>(a));
    }
    return icon;
}

} // namespace tidemark::linux_platform
