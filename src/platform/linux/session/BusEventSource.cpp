#include "platform/linux/session/BusEventSource.h"

#ifdef TIDEMARK_HAVE_SYSTEMD

#include "platform/linux/session/Systemd.h"

namespace tidemark::linux_platform {

std::unique_ptr<BusEventSource> BusEventSource::open(Bus which) {
    const auto* library = systemd();
    sd_bus* bus = nullptr;
    if (!library || (which == Bus::System ? library->sd_bus_open_system(&bus)
                                          : library->sd_bus_open_user(&bus)) < 0)
        return nullptr;
    return std::unique_ptr<BusEventSource>(new BusEventSource(bus));
}

BusEventSource::~BusEventSource() {
    // The watcher first: its thread polls the bus's descriptor.
    watcher_.reset();
    for (auto* slot : slots_)
        systemd()->sd_bus_slot_unref(slot);
    systemd()->sd_bus_flush_close_unref(bus_);
}

sd_bus_slot** BusEventSource::newSlot() {
    return &slots_.emplace_back(nullptr);
}

void BusEventSource::watch(MainQueue& mainQueue) {
    if (!watcher_)
        watcher_ = std::make_unique<FdWatcher>(mainQueue, *this);
}

std::vector<int> BusEventSource::eventFds() {
    return {systemd()->sd_bus_get_fd(bus_)};
}

void BusEventSource::dispatchEvents() {
    // A bounded number of messages per turn keeps a flood from starving the main queue.
    for (int i = 0; i < 64 && systemd()->sd_bus_process(bus_, nullptr) > 0; ++i) {
    }
}

} // namespace tidemark::linux_platform

#else

namespace tidemark::linux_platform {

// Without libsystemd there is no bus to open.
std::unique_ptr<BusEventSource> BusEventSource::open(Bus) {
    return nullptr;
}
BusEventSource::~BusEventSource() = default;
sd_bus_slot** BusEventSource::newSlot() {
    return nullptr;
}
void BusEventSource::watch(MainQueue&) {}
std::vector<int> BusEventSource::eventFds() {
    return {};
}
void BusEventSource::dispatchEvents() {}

} // namespace tidemark::linux_platform

#endif
