#include "spaces/WindowSpaceMapper.h"

#include "spaces/WindowShape.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace tidemark {
namespace {

constexpr std::array<std::string_view, 8> kHelperSuffixes{
    ".helper.renderer", ".helper (Renderer)", ".helper (GPU)", ".helper (Plugin)",
    ".helper",          ".WebContent",        ".Networking",   ".CloudTabs"};

// The snapshot's real-window rule, before the owner is known: any layer 0 is the
// application layer, and a window must be able to name its spaces.
bool passesWindowChecks(const WindowInfo& window) {
    return window.layer && window.layer->value == 0 && hasWorkingWindowShape(window) &&
           window.number;
}

// What one pass knows about a process: its app and, once needed, its key and the number of
// spaces that list it (counted per key, shared by every process with that key, where
// processes of one key are one app; per process where each is an app of its own).
struct PassApp {
    std::int32_t pid = 0;
    const RunningApplication* app = nullptr;
    std::optional<std::string> key;
    std::size_t* listedOn = nullptr;
    std::size_t ownListings = 0;
};

// The three lists of one space and the keys already on it.
struct SpaceSlot {
    std::vector<ImageRef>* icons;
    std::vector<std::string>* keys;
    std::vector<SpaceAppDetail>* details;
    bool isFull() const { return icons->size() >= WindowSpaceMapper::maxIconsPerSpace; }
    bool lists(const std::string& key) const {
        return std::find(keys->begin(), keys->end(), key) != keys->end();
    }
    bool listsProcess(std::int32_t pid) const {
        return std::any_of(details->begin(), details->end(),
                           [pid](const SpaceAppDetail& detail) { return detail.pid == pid; });
    }
};

} // namespace

std::string stripHelperSuffix(std::string_view key) {
    for (const auto suffix : kHelperSuffixes)
        if (key.ends_with(suffix))
            return std::string(key.substr(0, key.size() - suffix.size()));
    return std::string(key);
}

std::string appKey(const RunningApplication& app) {
    if (app.bundleIdentifier)
        return stripHelperSuffix(*app.bundleIdentifier);
    if (app.localizedName)
        return stripHelperSuffix(*app.localizedName);
    return stripHelperSuffix("pid-" + std::to_string(app.pid));
}

WindowSpaceMapper::WindowSpaceMapper(WindowServer& windowServer, Workspace& workspace,
                                     const ImageScaler* imageScaler,
                                     const AppIconSource* iconSource)
    : windowServer_(windowServer), workspace_(workspace),
      imageScaler_(imageScaler ? *imageScaler : bitmapImageScaler()), iconSource_(iconSource) {}

SpaceAppMaps WindowSpaceMapper::mapAppsToSpaces(const std::vector<std::string>& spaceIds) {
    SpaceAppMaps maps;
    std::vector<SpaceSlot> slots;
    std::unordered_map<std::string_view, std::size_t> slotOfId;
    // The window server answers integers; an identifier is found by one only when it is
    // that integer's own decimal text.
    std::unordered_map<std::int64_t, std::size_t> slotOfNumber;
    for (const auto& id : spaceIds) {
        auto& keys = maps.appKeys[id];
        if (!slotOfId.try_emplace(id, slots.size()).second)
            continue;
        if (const auto number = spaceIdOf(id))
            slotOfNumber.emplace(*number, slots.size());
        slots.push_back({&maps.icons[id], &keys, &maps.details[id]});
    }
    // Without the windows' spaces, or without a whole window list, no app is placed.
    const SharedWindowList windows = windowServer_.windows();
    if (!windows || !windows->spacesKnown || !windows->allEntriesReadable)
        return maps;

    const auto runningApps = workspace_.sharedRunningApplications();
    // Sorted by pid; the first app wins when a pid repeats, as in a lookup by pid.
    std::vector<PassApp> passApps;
    passApps.reserve(runningApps->size());
    for (const auto& app : *runningApps)
        passApps.push_back({app.pid, &app, std::nullopt, nullptr});
    std::stable_sort(passApps.begin(), passApps.end(),
                     [](const auto& a, const auto& b) { return a.pid < b.pid; });
    const auto ownBundleIdentifier = workspace_.ownBundleIdentifier();
    // Where each process is an app, a full space still takes more processes of the keys it
    // lists, so the walk goes on.
    const bool byProcess = workspace_.appCounting() == AppCounting::ByProcess;

    std::size_t fullSlots = 0;
    std::unordered_map<std::string_view, std::size_t> slotsListingKey;
    for (const WindowInfo& window : windows->windows) {
        if (fullSlots == slots.size() && !byProcess)
            break;
        if (!passesWindowChecks(window))
            continue;
        const auto pid = window.ownerPid;
        if (!pid)
            continue;
        const auto found =
            std::lower_bound(passApps.begin(), passApps.end(), *pid,
                             [](const PassApp& entry, std::int32_t p) { return entry.pid < p; });
        if (found == passApps.end() || found->pid != *pid)
            continue;
        PassApp& owner = *found;
        const RunningApplication& app = *owner.app;
        if (app.terminated || app.hidden || app.activationPolicy != ActivationPolicy::Regular)
            continue;
        if (!owner.key) {
            owner.key = appKey(app);
            owner.listedOn = byProcess ? &owner.ownListings : &slotsListingKey[*owner.key];
        }
        const std::string& key = *owner.key;
        if (ownBundleIdentifier && key == *ownBundleIdentifier)
            continue;
        if (*owner.listedOn == slots.size())
            continue;

        for (const auto& spaceId : window.spaces) {
            if (!spaceId)
                continue;
            const auto slotIndex = slotOfNumber.find(*spaceId);
            if (slotIndex == slotOfNumber.end())
                continue;
            SpaceSlot& slot = slots[slotIndex->second];
            const bool keyListed = slot.lists(key);
            if (keyListed ? !byProcess || slot.listsProcess(*pid) : slot.isFull())
                continue;
            ImageRef icon = iconFor(key, app);
            if (!keyListed) {
                slot.keys->push_back(key);
                slot.icons->push_back(icon);
                if (slot.isFull())
                    ++fullSlots;
            }
            slot.details->push_back(
                SpaceAppDetail{app.localizedName.value_or(key), std::move(icon), key, *pid});
            ++*owner.listedOn;
        }
    }

    evictIconCache(*runningApps);
    return maps;
}

ImageRef WindowSpaceMapper::iconFor(const std::string& key, const RunningApplication& app) {
    if (const auto cached = iconCache_.find(key); cached != iconCache_.end())
        return cached->second;
    if (const auto evicted = evictedIcons_.find(key); evicted != evictedIcons_.end()) {
        ImageRef kept = evicted->second.lock();
        evictedIcons_.erase(evicted);
        if (kept) {
            iconCache_.emplace(key, kept);
            return kept;
        }
    }
    ImageRef loaded;
    if (iconSource_) {
        loaded = iconSource_->appIcon(
            SpaceAppDetail{app.localizedName.value_or(key), nullptr, key, app.pid},
            int(cachedIconSize));
    } else {
        if (app.bundlePath)
            loaded = workspace_.iconForFile(*app.bundlePath);
        if (!loaded)
            loaded = workspace_.applicationIcon(app.pid);
        if (!loaded)
            loaded = workspace_.genericApplicationIcon();
    }
    if (!loaded) {
        // No icon at all from the workspace: show a blank square and try again next pass.
        Bitmap blank{int(cachedIconSize), int(cachedIconSize),
                     std::vector<std::uint8_t>(std::size_t(cachedIconSize * cachedIconSize * 4))};
        return Image::fromBitmap({cachedIconSize, cachedIconSize}, std::move(blank), key);
    }
    ImageRef scaled = imageScaler_.scaled(*loaded, {cachedIconSize, cachedIconSize});
    ImageRef icon = scaled ? std::move(scaled) : std::move(loaded);
    iconCache_.emplace(key, icon);
    return icon;
}

void WindowSpaceMapper::evictIconCache(const std::vector<RunningApplication>& runningApps) {
    if (iconCache_.size() <= maxCacheSize)
        return;
    std::erase_if(evictedIcons_, [](const auto& entry) { return entry.second.expired(); });
    const auto evict = [this](auto entry) {
        evictedIcons_.insert_or_assign(entry->first, entry->second);
        return iconCache_.erase(entry);
    };
    std::unordered_set<std::string_view> running;
    for (const auto& app : runningApps)
        if (app.bundleIdentifier)
            running.insert(*app.bundleIdentifier);
    for (auto entry = iconCache_.begin(); entry != iconCache_.end();)
        entry = running.contains(entry->first) ? std::next(entry) : evict(entry);
    while (iconCache_.size() > maxCacheSize)
        evict(iconCache_.begin());
}

void WindowSpaceMapper::pruneIconCache() {
    std::unordered_set<std::string> running;
    for (const auto& app : *workspace_.sharedRunningApplications())
        if (app.bundleIdentifier)
            running.insert(stripHelperSuffix(*app.bundleIdentifier));
    const auto notRunning = [&](const auto& entry) { return !running.contains(entry.first); };
    std::erase_if(iconCache_, notRunning);
    std::erase_if(evictedIcons_, notRunning);
}

void WindowSpaceMapper::removeCachedIcon(const std::string& appKey) {
    iconCache_.erase(appKey);
    evictedIcons_.erase(appKey);
}

} // namespace tidemark
