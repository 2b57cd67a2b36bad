#include "platform/linux/x11/LinuxSwitchPermission.h"

namespace tidemark::linux_platform {

SwitchAlert LinuxSwitchPermission::alert(const std::string& appName) const {
    SwitchAlert alert;
    alert.content.style = AlertStyle::Warning;
    alert.content.messageText = "Desktop switching unavailable";
    alert.content.informativeText =
        "The running window manager does not accept requests to switch desktops: it does not "
        "list _NET_CURRENT_DESKTOP in _NET_SUPPORTED, or, under i3, its socket cannot be "
        "reached.\n"
        "\n" +
        appName +
        " keeps showing every desktop; a click switches again as soon as the window manager "
        "accepts the requests.";
    alert.content.buttons = {"OK", "Quit " + appName};
    alert.actions = {SwitchAlertAction::Dismiss, SwitchAlertAction::Quit};
    return alert;
}

} // namespace tidemark::linux_platform
