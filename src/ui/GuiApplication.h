#pragma once

#include <string>

namespace tidemark::ui {

// The user's folder for locks and sockets: $XDG_RUNTIME_DIR, else, where the session names
// none, /tmp/tidemark-<uid>, made private to the user.
std::string runtimeFolder();

// Makes sure a Qt application object exists (fonts and pixels need one), creating one that
// lives until the process ends. Without a display it uses the offscreen platform.
void ensureGuiApplication();

} // namespace tidemark::ui
