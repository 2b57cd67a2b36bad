#pragma once

#include "platform/linux/x11/X11WindowServer.h"
#include "statusbar/EventPoster.h"

#include <string>

namespace tidemark::linux_platform {

// X has no desktop-swipe gesture and needs none: the window server switches directly. What
// is left is the trust question, which here means the window manager takes such requests.
class LinuxEventPoster final : public EventPoster {
public:
    explicit LinuxEventPoster(X11WindowServer& windowServer) : windowServer_(windowServer) {}

    bool isProcessTrusted() override { return windowServer_.takesSwitchRequests(); }
    std::unique_ptr<SyntheticEvent> createEvent() override { return nullptr; }
    void post(const SyntheticEvent&, int, const std::string&) override {}

private:
    X11WindowServer& windowServer_;
};

} // namespace tidemark::linux_platform
