#pragma once

#include <cstddef>

namespace tidemark::linux_platform::desktop {

// What a window manager or compositor reports is read up to this many outputs, workspaces,
// desktops and windows: one that reports more (or any client that rewrites the root's window
// lists) is broken or hostile, and the rest is ignored.
inline constexpr std::size_t kMaxDesktopItems = 1024;

// Names of outputs, workspaces and apps are cut to this many bytes.
inline constexpr std::size_t kMaxNameBytes = 256;

} // namespace tidemark::linux_platform::desktop
