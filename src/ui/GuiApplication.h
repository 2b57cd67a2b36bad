#pragma once

namespace tidemark::ui {

// Makes sure a Qt application object exists (fonts and pixels need one), creating one that
// lives until the process ends. Without a display it uses the offscreen platform.
void ensureGuiApplication();

} // namespace tidemark::ui
