#pragma once

#include "foundation/MainQueue.h"
#include "platform/linux/session/BusEventSource.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace tidemark::linux_platform {

// The desktop portal's colour-scheme preference ("org.freedesktop.appearance"
// "color-scheme": 0 none, 1 dark, 2 light) on the session bus: read once without waiting for
// the answer, then followed through the portal's SettingChanged signal. Without a session
// bus or a portal it stays silent.
class PortalAppearance {
public:
    // Called on the main queue with each reading.
    using Listener = std::function<void(std::optional<std::uint32_t> colorScheme)>;

    PortalAppearance(MainQueue& mainQueue, Listener listener);
    ~PortalAppearance();
    PortalAppearance(const PortalAppearance&) = delete;
    PortalAppearance& operator=(const PortalAppearance&) = delete;

    // False when there is no session bus. Main queue only.
    bool start();

    // Called by the bus handlers.
    void reading(std::optional<std::uint32_t> colorScheme) { listener_(colorScheme); }
    void readWithOldCall();

private:
    MainQueue& mainQueue_;
    Listener listener_;
    std::unique_ptr<BusEventSource> bus_;
};

} // namespace tidemark::linux_platform
