#pragma once

#include "foundation/MainQueue.h"
#include "statusbar/EventPoster.h"

#include <functional>
#include <string>
#include <vector>

namespace tidemark::sim {

// Records every posted event with the time it was posted and the display it was meant for.
class SimEventPoster final : public EventPoster {
public:
    struct Posted {
        RecordedEvent event;
        int tapLocation = 0;
        TimeSeconds time = 0;
        std::string display;
    };

    explicit SimEventPoster(const MainQueue& clock, bool trusted = true)
        : clock_(clock), trusted_(trusted) {}

    void setTrusted(bool trusted) { trusted_ = trusted; }
    // The next `count` creations fail.
    void failNextCreations(int count) { failingCreations_ = count; }

    bool isProcessTrusted() override { return trusted_; }
    std::unique_ptr<SyntheticEvent> createEvent() override;
    void post(const SyntheticEvent& event, int tapLocation, const std::string& displayID) override;

    const std::vector<Posted>& posted() const { return posted_; }
    // Hears each event as it is posted.
    std::function<void(const Posted&)> onPost;
    int createdCount() const { return created_; }

private:
    const MainQueue& clock_;
    bool trusted_;
    int failingCreations_ = 0;
    int created_ = 0;
    std::vector<Posted> posted_;
};

} // namespace tidemark::sim
