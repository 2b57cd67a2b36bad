#include "platform/linux/x11/ClientApps.h"

namespace tidemark::linux_platform {

namespace {

bool isOwnWindowClass(const WindowFacts& window) {
    return window.className == kOwnWindowClass && window.instanceName == kOwnWindowInstance;
}

} // namespace

ClientApps groupClientApps(const std::vector<WindowFacts>& clients, const DesktopEntries& entries,
                           const WindowOwners& owners, std::int32_t ownPid,
                           const std::string& ownKey) {
    ClientApps apps;
    for (const auto& window : clients) {
        if (!window.exists || !window.pid || *window.pid == ownPid)
            continue;
        auto& state = apps[*window.pid];
        auto& app = state.application;
        const bool first = state.windows.empty();
        state.windows.push_back(window.window);
        if (first) {
            app.pid = *window.pid;
            app.hidden = true;
            app.activationPolicy = ActivationPolicy::Accessory;
        }
        if (!app.bundleIdentifier && isOwnWindowClass(window)) {
            app.bundleIdentifier = ownKey;
            app.localizedName = window.className;
        } else if (!app.bundleIdentifier) {
            if (auto naming = nameApp(entries, window.className, window.instanceName)) {
                app.bundleIdentifier = std::move(naming->identifier);
                app.localizedName = std::move(naming->name);
                app.bundlePath = std::move(naming->entryPath);
                if (naming->listed && app.activationPolicy != ActivationPolicy::Prohibited)
                    app.activationPolicy = ActivationPolicy::Regular;
            }
        }
        // Windows whose owners were seen as different processes name none of them.
        if (const auto owner = owners.find(window.window);
            owner != owners.end() && owner->second.pid == *window.pid) {
            if (!app.seenOwner)
                app.seenOwner = owner->second.start;
            else if (*app.seenOwner != owner->second.start)
                app.seenOwner = SeenOwner();
        }
        // Hidden only while every window is minimised; regular once any window is an
        // ordinary one that belongs in a task bar.
        if (!window.hidden)
            app.hidden = false;
        // The owner of the desktop or of a dock or bar is the desktop's own program, never
        // an app to list or quit, even where it also opens ordinary windows.
        if (window.kind == WindowKind::Desktop || window.kind == WindowKind::Dock)
            app.activationPolicy = ActivationPolicy::Prohibited;
        else if (window.kind == WindowKind::Normal && !window.skipTaskbar &&
                 app.activationPolicy != ActivationPolicy::Prohibited)
            app.activationPolicy = ActivationPolicy::Regular;
    }
    return apps;
}

} // namespace tidemark::linux_platform
