#pragma once

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/apps/InstalledApplications.h"
#include "platform/linux/proc/ProcKernel.h"
#include "spaces/WindowServer.h"
#include "spaces/Workspace.h"

#include <memory>

namespace tidemark::linux_platform {

// This machine's kernel and its X11 desktop, for the commands that read processes. Without
// an X server the desktop reports no windows and no running applications; the installed
// check is the real one either way. `mainQueue` must outlive it.
struct LiveSystem {
    explicit LiveSystem(MainQueue& mainQueue);
    ~LiveSystem();

    linux_proc::ProcKernel kernel;
    WindowServer& windowServer() { return *windowServer_; }
    Workspace& workspace() { return *workspace_; }

private:
    std::unique_ptr<LinuxPlatform> desktop_;
    std::unique_ptr<WindowServer> fallbackWindowServer_;
    std::unique_ptr<Workspace> fallbackWorkspace_;
    WindowServer* windowServer_ = nullptr;
    Workspace* workspace_ = nullptr;
};

} // namespace tidemark::linux_platform
