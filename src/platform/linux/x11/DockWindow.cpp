#include "platform/linux/x11/DockWindow.h"

namespace tidemark::linux_platform {

void setDockStrut(XConnection& x, xcb_window_t window, const std::optional<TopStrut>& strut) {
    auto& ewmh = x.ewmh();
    const TopStrut band = strut.value_or(TopStrut{});
    xcb_ewmh_wm_strut_partial_t partial{};
    partial.top = std::uint32_t(band.height);
    partial.top_start_x = std::uint32_t(band.startX);
    partial.top_end_x = std::uint32_t(std::max(band.startX, band.endX));
    xcb_ewmh_set_wm_strut_partial(&ewmh, window, partial);
    xcb_ewmh_set_wm_strut(&ewmh, window, 0, 0, partial.top, 0);
    free(xcb_get_input_focus_reply(x.raw(), xcb_get_input_focus(x.raw()), nullptr));
}

void declareDock(XConnection& x, xcb_window_t window, const std::optional<TopStrut>& strut) {
    auto& ewmh = x.ewmh();
    xcb_atom_t type = ewmh._NET_WM_WINDOW_TYPE_DOCK;
    xcb_ewmh_set_wm_window_type(&ewmh, window, 1, &type);
    xcb_ewmh_set_wm_desktop(&ewmh, window, 0xFFFFFFFFu);
    xcb_atom_t states[] = {ewmh._NET_WM_STATE_STICKY, ewmh._NET_WM_STATE_SKIP_TASKBAR,
                           ewmh._NET_WM_STATE_SKIP_PAGER, ewmh._NET_WM_STATE_ABOVE};
    xcb_ewmh_set_wm_state(&ewmh, window, 4, states);
    setDockStrut(x, window, strut);
}

} // namespace tidemark::linux_platform
