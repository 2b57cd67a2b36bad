#pragma once

#include "foundation/MainQueue.h"
#include "platform/linux/session/BusEventSource.h"
#include "spaces/WorkspaceEvents.h"

#include <memory>

namespace tidemark::linux_platform {

// Turns logind's signals into the workspace's sleep and session events: the system
// preparing to sleep or waking (screens asleep / awake), and this session becoming active
// or inactive (a user switch, a lock screen on another VT). Without a system bus or logind
// it stays silent.
class LogindWatcher {
public:
    LogindWatcher(MainQueue& mainQueue, WorkspaceEvents& workspaceEvents);
    ~LogindWatcher();
    LogindWatcher(const LogindWatcher&) = delete;
    LogindWatcher& operator=(const LogindWatcher&) = delete;

    // False when there is no bus to listen on. Main queue only.
    bool start();

    // The event a signal stands for.
    static WorkspaceEventKind sleepEvent(bool preparingForSleep);
    static WorkspaceEventKind sessionEvent(bool active);

    // Called by the bus handlers with the event to post on the main queue.
    void dispatchSignal(WorkspaceEventKind kind) { post(kind); }

private:
    void post(WorkspaceEventKind kind);

    MainQueue& mainQueue_;
    WorkspaceEvents& events_;
    std::unique_ptr<BusEventSource> bus_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace tidemark::linux_platform
