#pragma once

#include "popover/ScriptRunner.h"
#include "popover/SystemPower.h"
#include "spaces/Workspace.h"
#include "system/Kernel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark {

// Whether a process may be quit at this moment.
enum class QuitTarget {
    Allowed, // a process of this user, not this program
    Gone,    // no process has this pid
    Refused  // pid 0 or 1 (or below), this program, or another user's process
};

enum class SleepOutcome { Requested, Failed };

// Quitting one app and putting the machine to sleep. Both may block and run on a background
// queue; neither waits for the app to end or the machine to sleep.
class AppActions {
public:
    AppActions(Workspace& workspace, Kernel& kernel, ScriptRunner& scripts, SystemPower& power);

    QuitTarget checkQuitTarget(std::int32_t pid);

    // Polite quit, forced quit, a quit script, then signals; the first that is delivered
    // ends it. Protected system apps and refused targets are left alone, and a signal goes
    // only to the very process that was looked at when the call began.
    void terminateApp(std::int32_t pid);

    // The sleep tool, the power service, then the sleep scripts, until one succeeds.
    SleepOutcome performSystemSleep();

private:
    // The start stamp that names the app's process: the one recorded with its windows where
    // the workspace keeps one, else the present one.
    std::optional<std::uint64_t> appStart(std::int32_t pid);

    Workspace& workspace_;
    Kernel& kernel_;
    ScriptRunner& scripts_;
    SystemPower& power_;
};

// `tell application id "B" to quit`, or nothing when B holds anything but letters, digits
// and ". - _": the identifier can never change what the script does.
std::optional<std::string> quitScriptSource(std::string_view bundleID);

} // namespace tidemark
