#pragma once

#include "foundation/NotificationCenter.h"
#include "platform/linux/DesktopEntries.h"
#include "platform/linux/FileSettingsStore.h"
#include "platform/linux/LinuxEventPoster.h"
#include "platform/linux/LogindWatcher.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/linux/PsiMemoryPressure.h"
#include "platform/linux/X11WindowServer.h"
#include "platform/linux/X11Workspace.h"
#include "spaces/SpaceObserver.h"

#include <memory>
#include <string>

namespace tidemark::cli {

// Every port of the live X11 desktop, on the command line's poll(2) main queue or on the
// one given (the app's). Members are destroyed in reverse order: the watchers stop before
// what they feed goes.
struct LinuxPlatform {
    // Nothing, with one line in `error`, when no X server answers.
    static std::unique_ptr<LinuxPlatform> open(std::string& error, MainQueue* queue = nullptr);

    // `connection` answers queries; `events` carries the workspace's event stream.
    LinuxPlatform(std::shared_ptr<linux_platform::XConnection> connection,
                  std::shared_ptr<linux_platform::XConnection> events, MainQueue* queue = nullptr);

    SpaceObserverServices services() {
        return {queue, settings, windowServer, workspace, defaultCenter, &memoryPressure};
    }

    std::shared_ptr<linux_platform::XConnection> x;
    std::shared_ptr<linux_platform::XConnection> xEvents;
    // The command line's queue; idle when another queue was given.
    linux_platform::PollMainQueue mainQueue;
    MainQueue& queue;
    linux_platform::FileSettingsStore settings;
    NotificationCenter defaultCenter;
    linux_platform::X11WindowServer windowServer;
    linux_platform::X11Workspace workspace;
    linux_platform::LinuxEventPoster poster;
    linux_platform::LogindWatcher logind;
    linux_platform::PsiMemoryPressure memoryPressure{queue};

    // Starts the event streams: X and i3 through the workspace, logind where present.
    void startObserving();
};

} // namespace tidemark::cli
