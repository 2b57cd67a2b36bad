#pragma once

#include <optional>
#include <string>

namespace tidemark::ui {

// Makes sure a Qt application object exists (fonts and pixels need one), creating one that
// lives until the process ends. Without a display it uses the offscreen platform. Where the
// session names no runtime folder, `runtimeFallback` (the platform's private folder of the
// user) stands in for it.
void ensureGuiApplication(const std::optional<std::string>& runtimeFallback = std::nullopt);

} // namespace tidemark::ui
