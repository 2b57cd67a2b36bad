#include "popover/PopoverModelJson.h"

#include <string>

namespace tidemark {

namespace {

nlohmann::ordered_json pidsOf(const std::vector<SpaceAppDetail>& details) {
    auto pids = nlohmann::ordered_json::array();
    for (const auto& detail : details)
        pids.push_back(detail.pid);
    return pids;
}

nlohmann::ordered_json bytesByPid(const MemoryMap& map) {
    auto object = nlohmann::ordered_json::object();
    for (const auto& [pid, bytes] : map)
        object[std::to_string(pid)] = bytes;
    return object;
}

} // namespace

nlohmann::ordered_json popoverModelFields(const SpacePopoverViewModel& model) {
    nlohmann::ordered_json fields;
    const auto& space = model.space();
    fields["spaceID"] = space ? nlohmann::ordered_json(space->spaceID) : nullptr;
    fields["apps"] = space ? pidsOf(space->appDetails) : nlohmann::ordered_json::array();
    fields["appMemory"] = bytesByPid(model.appMemoryMap());
    fields["otherApps"] = pidsOf(model.otherApps());
    fields["otherAppMemory"] = bytesByPid(model.otherAppMemoryMap());
    if (const auto& memory = model.systemMemory())
        fields["systemMemory"] = {{"used", memory->used}, {"appMemory", memory->appMemory}};
    else
        fields["systemMemory"] = nullptr;
    fields["showResidualList"] = model.showResidualList();
    fields["isScanning"] = model.isScanning();
    auto residual = nlohmann::ordered_json::array();
    for (const auto& process : model.residualProcesses())
        residual.push_back(process.id);
    fields["residual"] = std::move(residual);
    if (const auto count = model.lastCleanedCount())
        fields["lastCleanedCount"] = *count;
    else
        fields["lastCleanedCount"] = nullptr;
    fields["lastCleanedMemory"] = model.lastCleanedMemory();
    return fields;
}

} // namespace tidemark
