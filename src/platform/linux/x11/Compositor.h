#pragma once

#include "platform/linux/x11/XConnection.h"

namespace tidemark::linux_platform {

// Whether a compositing manager runs on the connection's screen (it owns the
// `_NET_WM_CM_S<n>` selection): only then do windows with alpha and window opacity show.
bool compositorRunning(XConnection& x);

// Asks a compositor that blurs on request (KWin) to blur what lies behind `window`, all of
// it; the others ignore the property.
void requestBlurBehind(XConnection& x, xcb_window_t window);

} // namespace tidemark::linux_platform
