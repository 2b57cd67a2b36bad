#pragma once

#include "platform/linux/x11/SwipeRecognizer.h"
#include "platform/linux/x11/X11WindowServer.h"
#include "statusbar/EventPoster.h"

#include <string>

namespace tidemark::linux_platform {

// X has no desktop-swipe gesture: every completed swipe becomes one desktop step on the
// display it was meant for. "Trusted" means the window manager takes such requests.
class LinuxEventPoster final : public EventPoster {
public:
    explicit LinuxEventPoster(X11WindowServer& windowServer) : windowServer_(windowServer) {}

    bool isProcessTrusted() override { return windowServer_.canStepDesktops(); }
    std::unique_ptr<SyntheticEvent> createEvent() override {
        return std::make_unique<RecordedEvent>();
    }
    void post(const SyntheticEvent& event, int tapLocation, const std::string& displayID) override;

    int stepsTaken() const { return steps_; }

private:
    X11WindowServer& windowServer_;
    SwipeRecognizer recognizer_;
    int steps_ = 0;
};

} // namespace tidemark::linux_platform
