#pragma once

namespace tidemark::linux_platform::live {

// Routes Qt's messages to the app's lines on standard error. When the X server goes away Qt
// warns and then exits: the app says so in its one line and leaves without a core dump.
// Other warnings are printed only with `printWarnings`.
void installQtMessageHandler(bool printWarnings);

} // namespace tidemark::linux_platform::live
