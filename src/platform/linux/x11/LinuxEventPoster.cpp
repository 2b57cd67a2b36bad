#include "platform/linux/x11/LinuxEventPoster.h"

namespace tidemark::linux_platform {

void LinuxEventPoster::post(const SyntheticEvent& event, int tapLocation,
                            const std::string& displayID) {
    if (tapLocation != kSessionEventTap)
        return;
    // This poster creates every event it is given.
    const auto& recorded = static_cast<const RecordedEvent&>(event);
    if (const auto forward = recognizer_.feed(recorded)) {
        ++steps_;
        windowServer_.stepDesktop(displayID, *forward);
    }
}

} // namespace tidemark::linux_platform
