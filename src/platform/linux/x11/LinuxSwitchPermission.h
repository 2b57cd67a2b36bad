#pragma once

#include "statusbar/EventPoster.h"
#include "statusbar/ViewPorts.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::linux_platform {

// The settings program of a desktop named in XDG_CURRENT_DESKTOP (a colon-separated list,
// the first known name wins); nothing for desktops without one, such as i3 or Openbox.
std::optional<std::vector<std::string>> desktopSettingsCommand(std::string_view currentDesktop);

// Switching needs no permission on X11: it is allowed wherever the window manager takes
// workspace requests, which is what the event poster answers.
class LinuxSwitchPermission final : public SwitchPermission {
public:
    explicit LinuxSwitchPermission(EventPoster& poster) : poster_(poster) {}
    bool isTrusted() override { return poster_.isProcessTrusted(); }
    // Starts the desktop's settings program, detached; does nothing where none is known.
    void openSettings() override;

private:
    EventPoster& poster_;
};

} // namespace tidemark::linux_platform
