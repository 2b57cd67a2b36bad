#pragma once

#include "foundation/Image.h"
#include "spaces/WorkspaceEvents.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

enum class ActivationPolicy { Regular, Accessory, Prohibited };

enum class Appearance { Light, Dark };

// What a desktop counts as one app. By app key: the processes that share a key are one app
// (an application and its helpers, listed once under the first process seen). By process:
// each process with a window is an app of its own (two terminals are two apps, each listed
// with its own memory and quit alone); the strip still draws one icon per key.
enum class AppCounting { ByAppKey, ByProcess };

// The kernel's start stamp of the process that owned an app's windows when the workspace
// first saw them; nothing inside when that process had already ended.
using SeenOwner = std::optional<std::uint64_t>;

// A running application as the workspace reports it.
struct RunningApplication {
    std::int32_t pid = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
    std::optional<std::string> bundlePath;
    ActivationPolicy activationPolicy = ActivationPolicy::Regular;
    bool hidden = false;
    bool terminated = false;
    // Recorded where the pid is only the windows' word for their owner and may have passed to
    // another process since; the pid names the app only while its start stamp still matches.
    std::optional<SeenOwner> seenOwner;
};

// The running applications as one immutable answer that every reader shares.
using RunningApplications = std::shared_ptr<const std::vector<RunningApplication>>;

// The shared workspace: running applications, their icons, the appearance and this
// program's identity.
class Workspace {
public:
    virtual ~Workspace() = default;

    virtual std::vector<RunningApplication> runningApplications() = 0;
    // The same list, never null. Adapters that keep their table up to date hand it out
    // without copying; the default wraps `runningApplications()`.
    virtual RunningApplications sharedRunningApplications();
    virtual std::optional<RunningApplication> runningApplication(std::int32_t pid);
    virtual AppCounting appCounting() const { return AppCounting::ByAppKey; }

    virtual Appearance effectiveAppearance() = 0;
    // This program's bundle identifier, when it has one.
    virtual std::optional<std::string> ownBundleIdentifier() = 0;

    // Icons: of the file at a bundle path, the application's own, the generic app icon.
    virtual ImageRef iconForFile(const std::string& path) = 0;
    virtual ImageRef applicationIcon(std::int32_t pid) = 0;
    virtual ImageRef genericApplicationIcon() = 0;

    // Whether an application with this identifier is installed.
    virtual bool isApplicationInstalled(const std::string& bundleIdentifier) = 0;

    // Polite and forced quit requests to a running application; true when delivered.
    // The residual clean-up calls these, runningApplications, isApplicationInstalled and
    // ownBundleIdentifier from a background queue: adapters keep them safe there.
    virtual bool terminate(std::int32_t pid) {
        (void)pid;
        return false;
    }
    virtual bool forceTerminate(std::int32_t pid) {
        (void)pid;
        return false;
    }

    // Where the workspace announces its events.
    virtual WorkspaceEvents& events() = 0;
};

} // namespace tidemark
