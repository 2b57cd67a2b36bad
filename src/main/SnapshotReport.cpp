#include "main/SnapshotReport.h"

#include "preferences/SettingsKeys.h"
#include "spaces/SpaceNameCodec.h"

namespace tidemark::cli {
namespace {

nlohmann::ordered_json spaceJson(const Space& space) {
    auto apps = nlohmann::ordered_json::array();
    for (const auto& app : space.appDetails)
        apps.push_back({{"appName", app.appName}, {"bundleID", app.bundleID}, {"pid", app.pid}});
    return {{"displayID", space.displayID},
            {"spaceID", space.spaceID},
            {"spaceName", space.spaceName},
            {"spaceNumber", space.spaceNumber},
            {"desktopNumber", space.desktopNumber ? nlohmann::ordered_json(*space.desktopNumber)
                                                  : nlohmann::ordered_json(nullptr)},
            {"isCurrentSpace", space.isCurrentSpace},
            {"isFullScreen", space.isFullScreen},
            {"wmNumber", space.wmNumber ? nlohmann::ordered_json(*space.wmNumber)
                                        : nlohmann::ordered_json(nullptr)},
            {"wmName", space.wmName ? nlohmann::ordered_json(*space.wmName)
                                    : nlohmann::ordered_json(nullptr)},
            {"isUrgent", space.isUrgent},
            {"apps", std::move(apps)}};
}

nlohmann::ordered_json storedNamesJson(const SettingsStore& settings) {
    const auto stored = settings.object(settings::kSpaceNames);
    if (!stored || !stored->asData())
        return nullptr;
    const auto names = decodeSpaceNames(*stored->asData());
    if (!names)
        return nullptr;
    auto object = nlohmann::ordered_json::object();
    // The ids are unique already; appending skips the ordered map's linear search per member.
    using Members = std::vector<nlohmann::ordered_json::object_t::value_type>;
    auto& members = static_cast<Members&>(object.get_ref<nlohmann::ordered_json::object_t&>());
    members.reserve(names->size());
    for (const auto& [id, info] : *names)
        members.emplace_back(
            id, nlohmann::ordered_json{{"spaceNum", info.spaceNum}, {"spaceName", info.spaceName}});
    return object;
}

} // namespace

nlohmann::ordered_json snapshotReport(bool published, const std::string& signature,
                                      const std::vector<Space>& spaces,
                                      const SettingsStore& settings) {
    auto list = nlohmann::ordered_json::array();
    for (const auto& space : spaces)
        list.push_back(spaceJson(space));
    return {{"published", published},
            {"signature", signature},
            {"spaces", std::move(list)},
            {"storedSpaceNames", storedNamesJson(settings)}};
}

} // namespace tidemark::cli
