#include "popover/AppActions.h"

#include "foundation/Text.h"
#include "spaces/Space.h"
#include "system/ProcessIdentity.h"

#include <algorithm>

namespace tidemark {

namespace {

constexpr const char* kSystemEventsSleepScript = "tell application \"System Events\" to sleep";
constexpr const char* kFinderSleepScript = "tell application \"Finder\" to sleep";

bool isIdentifierCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

} // namespace

std::optional<std::string> quitScriptSource(std::string_view bundleID) {
    if (bundleID.empty() || !std::all_of(bundleID.begin(), bundleID.end(), isIdentifierCharacter))
        return std::nullopt;
    return "tell application id \"" + std::string(bundleID) + "\" to quit";
}

AppActions::AppActions(Workspace& workspace, Kernel& kernel, ScriptRunner& scripts,
                       SystemPower& power)
    : workspace_(workspace), kernel_(kernel), scripts_(scripts), power_(power) {}

std::optional<std::uint64_t> AppActions::appStart(std::int32_t pid) {
    if (const auto app = workspace_.runningApplication(pid); app && app->seenOwner)
        return *app->seenOwner;
    return kernel_.startTime(pid);
}

QuitTarget AppActions::checkQuitTarget(std::int32_t pid) {
    switch (identifyProcess(kernel_, pid, appStart(pid))) {
    case ProcessIdentity::Same:
        return QuitTarget::Allowed;
    case ProcessIdentity::Gone:
        return QuitTarget::Gone;
    case ProcessIdentity::Replaced:
    case ProcessIdentity::Untouchable:
        break;
    }
    return QuitTarget::Refused;
}

void AppActions::terminateApp(std::int32_t pid) {
    // Everything below acts on the process seen now; a pid that changes hands meanwhile is
    // left alone.
    const auto seenStart = appStart(pid);
    const auto isStillOurs = [&] {
        return identifyProcess(kernel_, pid, seenStart) == ProcessIdentity::Same;
    };
    if (!isStillOurs())
        return;

    if (const auto app = workspace_.runningApplication(pid)) {
        const auto& bundleID = app->bundleIdentifier;
        if (bundleID && isProtectedSystemBundleIdentifier(*bundleID))
            return;
        if (app->localizedName && text::toLower(*app->localizedName) == "finder")
            return;
        if (workspace_.terminate(pid) || workspace_.forceTerminate(pid))
            return;
        if (bundleID) {
            const auto script = quitScriptSource(*bundleID);
            if (script && scripts_.run(*script) == ScriptOutcome::Succeeded)
                return;
        }
        if (!isStillOurs())
            return;
    }

    if (kernel_.sendSignal(pid, Signal::Terminate))
        return;
    // SIGTERM fails for a process that ended or changed hands; only our own process that is
    // somehow still there gets the forced signal.
    if (isStillOurs())
        kernel_.sendSignal(pid, Signal::Kill);
}

SleepOutcome AppActions::performSystemSleep() {
    if (const auto status = power_.runSleepTool(); status && *status == 0)
        return SleepOutcome::Requested;
    if (power_.requestServiceSleep() == PowerServiceAnswer::Accepted)
        return SleepOutcome::Requested;
    switch (scripts_.run(kSystemEventsSleepScript)) {
    case ScriptOutcome::Succeeded:
        return SleepOutcome::Requested;
    case ScriptOutcome::DoesNotCompile:
        return SleepOutcome::Failed;
    case ScriptOutcome::Failed:
        break;
    }
    return scripts_.run(kFinderSleepScript) == ScriptOutcome::Succeeded ? SleepOutcome::Requested
                                                                        : SleepOutcome::Failed;
}

} // namespace tidemark
