#pragma once

#include "platform/linux/InstalledApplications.h"
#include "platform/linux/ProcKernel.h"
#include "spaces/WindowServer.h"
#include "spaces/Workspace.h"

#include <memory>

namespace tidemark::cli {

// This machine's kernel and, until the X11 adapters are wired in here, a desktop that reports
// no windows and no running applications (as on a machine without a display); the installed
// check is the real one.
struct LiveSystem {
    LiveSystem();
    ~LiveSystem();

    linux_proc::ProcKernel kernel;
    std::unique_ptr<WindowServer> windowServer;
    std::unique_ptr<Workspace> workspace;
};

} // namespace tidemark::cli
