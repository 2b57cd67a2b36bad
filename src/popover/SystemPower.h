#pragma once

#include <optional>

namespace tidemark {

enum class PowerServiceAnswer { NoConnection, Refused, Accepted };

// The machine's power management, as the sleep procedure asks it to sleep. Calls may block;
// they run on a background queue.
class SystemPower {
public:
    virtual ~SystemPower() = default;

    // Runs the power-management command-line tool and waits for it: its exit status, or
    // nothing when it cannot be started.
    virtual std::optional<int> runSleepTool() = 0;
    // Asks the power-management service directly.
    virtual PowerServiceAnswer requestServiceSleep() = 0;
};

} // namespace tidemark
