#include "platform/sim/SimWorkspace.h"

#include <algorithm>
#include <functional>

namespace tidemark::sim {

SimWorkspace::SimWorkspace(const Scenario& scenario)
    : appearance_(scenario.appearance), ownBundleIdentifier_(scenario.self.bundleIdentifier),
      installed_(scenario.installedBundleIDs.begin(), scenario.installedBundleIDs.end()) {
    setApps(scenario.apps);
}

void SimWorkspace::setApps(std::vector<App> apps) {
    apps_ = std::move(apps);
    publishRunningApplications();
}

void SimWorkspace::publishRunningApplications() {
    std::vector<RunningApplication> running;
    running.reserve(apps_.size());
    for (const auto& app : apps_)
        running.push_back(app.application);
    running_ = std::make_shared<const std::vector<RunningApplication>>(std::move(running));
}

std::vector<RunningApplication> SimWorkspace::runningApplications() {
    return *running_;
}

std::optional<RunningApplication> SimWorkspace::runningApplication(std::int32_t pid) {
    for (const auto& app : apps_)
        if (app.application.pid == pid)
            return app.application;
    return std::nullopt;
}

ImageRef SimWorkspace::syntheticIcon(const std::string& name) {
    const auto hash = std::hash<std::string>{}(name);
    Bitmap bitmap{4, 4, {}};
    for (int i = 0; i < 16; ++i) {
        bitmap.rgba.push_back(std::uint8_t(hash));
        bitmap.rgba.push_back(std::uint8_t(hash >> 8));
        bitmap.rgba.push_back(std::uint8_t(hash >> 16));
        bitmap.rgba.push_back(255);
    }
    return Image::fromBitmap({4, 4}, std::move(bitmap), name);
}

ImageRef SimWorkspace::iconForFile(const std::string& path) {
    return syntheticIcon("file:" + path);
}

ImageRef SimWorkspace::applicationIcon(std::int32_t pid) {
    const auto app = runningApplication(pid);
    if (!app || app->terminated)
        return nullptr;
    return syntheticIcon("app:" + app->localizedName.value_or(std::to_string(pid)));
}

ImageRef SimWorkspace::genericApplicationIcon() {
    return syntheticIcon("generic");
}

bool SimWorkspace::terminate(std::int32_t pid) {
    return requestQuit(pid, false);
}

bool SimWorkspace::forceTerminate(std::int32_t pid) {
    return requestQuit(pid, true);
}

bool SimWorkspace::requestQuit(std::int32_t pid, bool forced) {
    const auto app = std::find_if(apps_.begin(), apps_.end(),
                                  [pid](const App& a) { return a.application.pid == pid; });
    const bool delivered = app != apps_.end() && !app->application.terminated &&
                           (forced ? app->acceptsForceTerminate : app->acceptsTerminate);
    if (quitRequestHook_)
        quitRequestHook_(pid, forced, delivered);
    if (!delivered)
        return false;
    apps_.erase(app);
    publishRunningApplications();
    if (appQuitHook_)
        appQuitHook_(pid);
    return true;
}

bool SimWorkspace::isApplicationInstalled(const std::string& bundleIdentifier) {
    return installed_.contains(bundleIdentifier);
}

} // namespace tidemark::sim
