#pragma once

#include "foundation/MainQueue.h"
#include "foundation/NotificationCenter.h"
#include "platform/linux/session/BusEventSource.h"

#include <memory>

namespace tidemark::linux_platform {

// Turns logind's signals into the workspace's sleep and session notifications: the system
// preparing to sleep or waking (screens asleep / awake), and this session becoming active
// or inactive (a user switch, a lock screen on another VT). Without a system bus or logind
// it stays silent.
class LogindWatcher {
public:
    LogindWatcher(MainQueue& mainQueue, NotificationCenter& workspaceCenter);
    ~LogindWatcher();
    LogindWatcher(const LogindWatcher&) = delete;
    LogindWatcher& operator=(const LogindWatcher&) = delete;

    // False when there is no bus to listen on. Main queue only.
    bool start();

    // The notification a signal stands for (for the handlers and their tests).
    static const char* sleepNotification(bool preparingForSleep);
    static const char* sessionNotification(bool active);

    // Called by the bus handlers with the notification to post on the main queue.
    void dispatchSignal(const char* name) { post(name); }

private:
    void post(const char* name);

    MainQueue& mainQueue_;
    NotificationCenter& center_;
    std::unique_ptr<BusEventSource> bus_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace tidemark::linux_platform
