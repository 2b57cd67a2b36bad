#pragma once

#include "statusbar/EventPoster.h"
#include "statusbar/ViewPorts.h"

#include <string>

namespace tidemark::linux_platform {

// Switching needs no permission on X11: it is allowed wherever the window manager takes
// workspace requests, which is what the event poster answers. There is nothing to grant, so
// the alert only says why clicks do not switch, with OK and Quit.
class LinuxSwitchPermission final : public SwitchPermission {
public:
    explicit LinuxSwitchPermission(EventPoster& poster) : poster_(poster) {}
    bool isTrusted() override { return poster_.isProcessTrusted(); }
    SwitchAlert alert(const std::string& appName) const override;
    void openSettings() override {} // the alert offers no settings

private:
    EventPoster& poster_;
};

} // namespace tidemark::linux_platform
