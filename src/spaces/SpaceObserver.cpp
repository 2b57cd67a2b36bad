#include "spaces/SpaceObserver.h"

#include "foundation/Text.h"
#include "preferences/SettingsKeys.h"
#include "spaces/SpaceNameCodec.h"

#include <cstdio>

namespace tidemark {
namespace {

constexpr const char* kDefaultDesktopName = "N/A";
constexpr const char* kUnknownFullScreenName = "FUL";

// The label of a full-screen space: the first three characters of its app's name.
std::string fullScreenName(const DisplaySpace& space, Workspace& workspace) {
    if (!space.fullScreenOwner)
        return kUnknownFullScreenName;
    const auto app = workspace.runningApplication(*space.fullScreenOwner);
    if (!app || !app->localizedName)
        return kUnknownFullScreenName;
    return text::toUpper(text::prefixCharacters(*app->localizedName, 3));
}

std::string describeDoubles(const std::vector<double>& numbers) {
    std::string out = "[";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g", numbers[i]);
        out += (i ? ", " : "") + std::string(buffer);
    }
    return out + "]";
}

} // namespace

SpaceObserver::SpaceObserver(SpaceObserverServices services)
    : services_(services), windowSpaceMapper_(services.windowServer, services.workspace,
                                              services.imageScaler, services.appIcons) {}

std::shared_ptr<SpaceObserver> SpaceObserver::create(SpaceObserverServices services) {
    std::shared_ptr<SpaceObserver> observer(new SpaceObserver(services));
    observer->startObserving();
    return observer;
}

bool SpaceObserver::isOpenedAppsStyle() const {
    return services_.settings.integer(settings::kDisplayStyle) == settings::kOpenedAppsStyle;
}

void SpaceObserver::refreshSpaces() {
    // No answer, or the window server is between configurations: what is shown stays.
    const DisplayList displays = services_.windowServer.displays();
    if (!displays) {
        if (refreshListener_)
            refreshListener_(false);
        return;
    }

    const SpaceNameMap storedNames = loadSpaceNames();
    std::int64_t spaceCounter = 0;
    std::vector<Space> spaces;
    SpaceNameMap newNames;

    for (const Display& display : *displays) {
        std::int64_t desktopCounter = 0;
        for (const DisplaySpace& displaySpace : display.spaces) {
            Space space;
            space.displayID = display.identifier;
            space.spaceID = std::to_string(displaySpace.id);
            space.spaceNumber = ++spaceCounter;
            space.isFullScreen = displaySpace.kind == SpaceKind::FullScreen;
            if (!space.isFullScreen)
                space.desktopNumber = ++desktopCounter;
            if (const auto stored = storedNames.find(space.spaceID); stored != storedNames.end())
                space.spaceName = stored->second.spaceName;
            else if (!space.isFullScreen)
                space.spaceName = kDefaultDesktopName;
            else
                space.spaceName = fullScreenName(displaySpace, services_.workspace);
            space.isCurrentSpace = displaySpace.id == display.currentSpace;
            space.wmNumber = displaySpace.wmNumber;
            space.wmName = displaySpace.wmName;
            space.isUrgent = displaySpace.isUrgent;
            newNames.insert_or_assign(space.spaceID,
                                      SpaceNameInfo{space.spaceNumber, space.spaceName});
            spaces.push_back(std::move(space));
        }
    }

    std::map<std::string, std::vector<std::string>> appKeys;
    if (isOpenedAppsStyle()) {
        std::vector<std::string> spaceIds;
        spaceIds.reserve(spaces.size());
        for (const auto& space : spaces)
            spaceIds.push_back(space.spaceID);
        auto maps = windowSpaceMapper_.mapAppsToSpaces(spaceIds);
        for (auto& space : spaces) {
            if (auto it = maps.icons.find(space.spaceID); it != maps.icons.end())
                space.appIcons = std::move(it->second);
            if (auto it = maps.details.find(space.spaceID); it != maps.details.end())
                space.appDetails = std::move(it->second);
        }
        appKeys = std::move(maps.appKeys);
    }

    updateSpaceNameStore(newNames);

    auto signature = makeSnapshotSignature(spaces, appKeys);
    if (signature == previousSpaceSignature_) {
        if (refreshListener_)
            refreshListener_(false);
        return;
    }
    previousSpaceSignature_ = std::move(signature);
    if (!windowCheckTimer_)
        updateWindowCheckTimer();
    auto delegate = delegate_.lock();
    if (delegate)
        delegate->didUpdateSpaces(spaces);
    if (refreshListener_)
        refreshListener_(delegate != nullptr);
}

SpaceNameMap SpaceObserver::loadSpaceNames() {
    if (cachedSpaceNames_)
        return *cachedSpaceNames_;
    const auto stored = services_.settings.object(settings::kSpaceNames);
    if (!stored || !stored->asData())
        return {};
    auto decoded = decodeSpaceNames(*stored->asData());
    cachedSpaceNames_ = decoded ? std::move(*decoded) : SpaceNameMap{};
    return *cachedSpaceNames_;
}

void SpaceObserver::updateSpaceNameStore(const SpaceNameMap& names) {
    if (cachedSpaceNames_ && *cachedSpaceNames_ == names)
        return;
    cachedSpaceNames_ = names;
    auto bytes = encodeSpaceNames(names);
    if (!bytes || (cachedSpaceNamesData_ && *cachedSpaceNamesData_ == *bytes))
        return;
    services_.settings.set(settings::kSpaceNames, Value(*bytes));
    cachedSpaceNamesData_ = std::move(bytes);
}

std::string SpaceObserver::makeSnapshotSignature(
    const std::vector<Space>& spaces,
    const std::map<std::string, std::vector<std::string>>& appKeys) const {
    const auto& settings = services_.settings;
    std::size_t colorHash = 0;
    if (const auto components = settings::activeSpaceColorComponents(settings))
        colorHash = std::hash<std::string>{}(describeDoubles(*components));
    std::string signature = std::to_string(settings.integer(settings::kDisplayStyle)) + ":";
    signature += settings.boolean(settings::kUseHighContrastBorders) ? "true:" : "false:";
    signature += services_.workspace.effectiveAppearance() == Appearance::Dark ? "true:" : "false:";
    signature += std::to_string(colorHash) + ":";
    const bool byProcess = services_.workspace.appCounting() == AppCounting::ByProcess;
    for (std::size_t i = 0; i < spaces.size(); ++i) {
        const auto& space = spaces[i];
        if (i)
            signature += ",";
        signature += space.spaceID;
        signature += space.isCurrentSpace ? ":true:" : ":false:";
        // A window manager may renumber, rename, fill or mark a space urgent while its id
        // stays; spaces without its own number or name and never urgent (the sim's) sign as
        // they always did.
        if (space.wmNumber || space.wmName || space.isUrgent) {
            signature += "wm" + (space.wmNumber ? std::to_string(*space.wmNumber) : "") + "/";
            if (space.wmName)
                signature += std::to_string(space.wmName->size()) + "#" + *space.wmName;
            signature += space.isFullScreen ? "/full" : "/";
            signature += space.isUrgent ? "/urgent:" : ":";
        }
        if (const auto it = appKeys.find(space.spaceID); it != appKeys.end()) {
            for (std::size_t k = 0; k < it->second.size(); ++k)
                signature += (k ? "+" : "") + it->second[k];
        }
        // Where each process is an app, a second process of a listed key is a new row.
        if (byProcess) {
            signature += "/";
            for (const auto& detail : space.appDetails)
                signature += std::to_string(detail.pid) + "+";
        }
    }
    return signature;
}

} // namespace tidemark
