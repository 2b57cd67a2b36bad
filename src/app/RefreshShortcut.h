#pragma once

#include "shortcuts/ShortcutCenter.h"

#include <memory>

namespace tidemark {

class SpaceObserver;

// The one global shortcut of the program: its release asks for a throttled refresh. The
// name has no default, so a hot key exists only while a combination is stored for it.
inline constexpr const char* kRefreshShortcutName = "refresh";

void bindRefreshShortcut(KeyBindings::ShortcutCenter& shortcuts,
                         std::weak_ptr<SpaceObserver> observer);

} // namespace tidemark
