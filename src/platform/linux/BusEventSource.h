#pragma once

#include "foundation/MainQueue.h"
#include "platform/linux/FdWatcher.h"

#include <memory>

struct sd_bus;

namespace tidemark::linux_platform {

// One sd-bus connection whose messages are handled on the main queue. Its owner adds matches
// and calls through `bus()`, keeps their slots, and releases them before this goes.
class BusEventSource final : public EventSource {
public:
    enum class Bus { System, Session };

    // Nothing when that bus cannot be reached.
    static std::unique_ptr<BusEventSource> open(Bus which);
    ~BusEventSource() override;
    BusEventSource(const BusEventSource&) = delete;
    BusEventSource& operator=(const BusEventSource&) = delete;

    sd_bus* bus() const { return bus_; }
    // Starts handling messages, once the owner's matches are in place. Main queue only.
    void watch(MainQueue& mainQueue);

    std::vector<int> eventFds() override;
    void dispatchEvents() override;

private:
    explicit BusEventSource(sd_bus* bus) : bus_(bus) {}

    sd_bus* bus_;
    std::unique_ptr<FdWatcher> watcher_;
};

} // namespace tidemark::linux_platform
