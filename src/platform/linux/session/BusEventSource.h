#pragma once

#include "foundation/MainQueue.h"
#include "platform/linux/FdWatcher.h"

#include <deque>
#include <memory>

struct sd_bus;
struct sd_bus_slot;

namespace tidemark::linux_platform {

// One sd-bus connection whose messages are handled on the main queue. Its owner adds matches
// and calls through `bus()`, each with a slot from `newSlot()`; the slots are released before
// the bus closes, so no handler runs after this goes.
class BusEventSource final : public EventSource {
public:
    enum class Bus { System, Session };

    // Nothing when that bus cannot be reached.
    static std::unique_ptr<BusEventSource> open(Bus which);
    ~BusEventSource() override;
    BusEventSource(const BusEventSource&) = delete;
    BusEventSource& operator=(const BusEventSource&) = delete;

    sd_bus* bus() const { return bus_; }
    // Where the next match or call puts its slot.
    sd_bus_slot** newSlot();
    // Starts handling messages, once the owner's matches are in place. Main queue only.
    void watch(MainQueue& mainQueue);

    std::vector<int> eventFds() override;
    void dispatchEvents() override;

private:
    explicit BusEventSource(sd_bus* bus) : bus_(bus) {}

    sd_bus* bus_;
    // A deque, so that a place handed out stays put while more are added.
    std::deque<sd_bus_slot*> slots_;
    std::unique_ptr<FdWatcher> watcher_;
};

} // namespace tidemark::linux_platform
