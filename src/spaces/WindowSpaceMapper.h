#pragma once

#include "foundation/ImageScaler.h"
#include "spaces/AppIconSource.h"
#include "spaces/Space.h"
#include "spaces/WindowServer.h"
#include "spaces/Workspace.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// The apps of each space, per space identifier: the strip's icons and app keys, one per key
// (parallel lists), and the panel's rows, one per app as the workspace counts them (one per
// key, or one per process while the icons stay one per key).
struct SpaceAppMaps {
    std::map<std::string, std::vector<ImageRef>> icons;
    std::map<std::string, std::vector<std::string>> appKeys;
    std::map<std::string, std::vector<SpaceAppDetail>> details;
};

// Folds a helper process into its app: removes the first known helper suffix, at most one.
std::string stripHelperSuffix(std::string_view key);

// The string that identifies an app and its helpers: bundle identifier, else localized
// name, else "pid-" and the process identifier, with the helper suffix removed.
std::string appKey(const RunningApplication& app);

// Finds the apps that have windows on each space, with their icons scaled and cached.
class WindowSpaceMapper {
public:
    // Counts icons (app keys), not the processes listed under them.
    static constexpr std::size_t maxIconsPerSpace = 5;
    static constexpr double cachedIconSize = 36.0;
    static constexpr std::size_t maxCacheSize = 50;

    // Without a scaler, bitmap icons are scaled in plain C++; without an icon source, icons
    // come from the workspace.
    WindowSpaceMapper(WindowServer& windowServer, Workspace& workspace,
                      const ImageScaler* imageScaler = nullptr,
                      const AppIconSource* iconSource = nullptr);
    // Icons not yet cached come from `source` from now on.
    void setIconSource(const AppIconSource* source) { iconSource_ = source; }

    // One entry (possibly empty) per given identifier in each map.
    SpaceAppMaps mapAppsToSpaces(const std::vector<std::string>& spaceIds);

    // Keeps only the icons of apps that still run (by stripped bundle identifier).
    void pruneIconCache();
    void removeCachedIcon(const std::string& appKey);

    std::size_t iconCacheSize() const { return iconCache_.size(); }
    bool hasCachedIcon(const std::string& appKey) const { return iconCache_.contains(appKey); }

private:
    ImageRef iconFor(const std::string& key, const RunningApplication& app);
    // Bundle identifiers as the apps report them, without suffix stripping.
    void evictIconCache(const std::vector<RunningApplication>& runningApps);

    WindowServer& windowServer_;
    Workspace& workspace_;
    const ImageScaler& imageScaler_;
    const AppIconSource* iconSource_;
    // Ordered, so eviction by iteration order is the same on every run.
    std::map<std::string, ImageRef, std::less<>> iconCache_;
    // Icons evicted while others still hold them (the published spaces do): a miss takes the
    // same image back instead of loading and scaling it again. It owns nothing, so the
    // cache's bound still decides what is kept.
    std::map<std::string, std::weak_ptr<const Image>, std::less<>> evictedIcons_;
};

} // namespace tidemark
