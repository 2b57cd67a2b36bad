#pragma once

#include "system/ProcessFacts.h"

namespace tidemark {

// Whether a process is one of the desktop's own programs (`isDesktopShellName` of its name),
// or a file manager started to draw the desktop: ending it would take the desktop away.
bool isDesktopShellProcess(ProcessFacts& process);

} // namespace tidemark
