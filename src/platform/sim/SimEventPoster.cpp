#include "platform/sim/SimEventPoster.h"

namespace tidemark::sim {

std::unique_ptr<SyntheticEvent> SimEventPoster::createEvent() {
    if (failingCreations_ > 0) {
        --failingCreations_;
        return nullptr;
    }
    ++created_;
    return std::make_unique<RecordedEvent>();
}

void SimEventPoster::post(const SyntheticEvent& event, int tapLocation,
                          const std::string& displayID) {
    // Only events this poster created reach here, and it creates nothing else.
    posted_.push_back(
        {static_cast<const RecordedEvent&>(event), tapLocation, clock_.now(), displayID});
    if (onPost)
        onPost(posted_.back());
}

} // namespace tidemark::sim
