#pragma once

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/apps/InstalledApplications.h"
#include "platform/linux/proc/ProcKernel.h"
#include "platform/linux/wayland/WaylandPlatform.h"
#include "spaces/WindowServer.h"
#include "spaces/Workspace.h"

#include <memory>

namespace tidemark::linux_platform {

// This machine's kernel and its desktop (X11, or a Wayland compositor's), for the commands
// that read processes. Without a desktop that answers it reports no windows and no running
// applications; the installed check is the real one either way. `mainQueue` must outlive it.
struct LiveSystem {
    explicit LiveSystem(MainQueue& mainQueue);
    ~LiveSystem();

    linux_proc::ProcKernel kernel;
    WindowServer& windowServer() { return *windowServer_; }
    Workspace& workspace() { return *workspace_; }

private:
    std::unique_ptr<LinuxPlatform> x11_;
    std::unique_ptr<WaylandPlatform> wayland_;
    std::unique_ptr<WindowServer> fallbackWindowServer_;
    std::unique_ptr<Workspace> fallbackWorkspace_;
    WindowServer* windowServer_ = nullptr;
    Workspace* workspace_ = nullptr;
};

} // namespace tidemark::linux_platform
