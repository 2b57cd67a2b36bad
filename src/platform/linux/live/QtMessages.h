#pragma once

#include <string>

namespace tidemark::linux_platform::live {

// Routes Qt's messages to the app's lines on standard error. When the X server or the Wayland
// compositor goes away Qt warns and then exits: the app says so in its one line, naming
// `server`, and leaves without a core dump. Other warnings are printed only with
// `printWarnings`.
void installQtMessageHandler(bool printWarnings, std::string server = "the X server");

} // namespace tidemark::linux_platform::live
