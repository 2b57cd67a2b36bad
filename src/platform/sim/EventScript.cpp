#include "platform/sim/EventScript.h"

#include "foundation/ValueJson.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

namespace tidemark::sim {
namespace {

struct KindInfo {
    EventKind kind;
    std::set<std::string> members; // besides "at" and "event"
};

const std::map<std::string, KindInfo, std::less<>>& kinds() {
    static const std::map<std::string, KindInfo, std::less<>> table{
        {"activeSpaceChanged", {EventKind::ActiveSpaceChanged, {}}},
        {"appLaunched", {EventKind::AppLaunched, {"pid"}}},
        {"appHidden", {EventKind::AppHidden, {"pid"}}},
        {"appUnhidden", {EventKind::AppUnhidden, {"pid"}}},
        {"appActivated", {EventKind::AppActivated, {"pid"}}},
        {"appDeactivated", {EventKind::AppDeactivated, {"pid"}}},
        {"appTerminated", {EventKind::AppTerminated, {"pid", "bundleIdentifier"}}},
        {"screenParametersChanged", {EventKind::ScreenParametersChanged, {}}},
        {"buttonPressed", {EventKind::ButtonPressed, {}}},
        {"screensSlept", {EventKind::ScreensSlept, {}}},
        {"screensWoke", {EventKind::ScreensWoke, {}}},
        {"sessionResigned", {EventKind::SessionResigned, {}}},
        {"sessionActivated", {EventKind::SessionActivated, {}}},
        {"memoryPressure", {EventKind::MemoryPressure, {}}},
        {"refreshRequested", {EventKind::RefreshRequested, {}}},
        {"setSetting", {EventKind::SetSetting, {"key", "value"}}},
        {"setAppearance", {EventKind::SetAppearance, {"appearance"}}},
        {"setDisplays", {EventKind::SetDisplays, {"value"}}},
        {"setWindows", {EventKind::SetWindows, {"value"}}},
        {"setApps", {EventKind::SetApps, {"value"}}},
    };
    return table;
}

class EventReader {
public:
    EventReader(const nlohmann::json& json, std::string origin, std::size_t index)
        : json_(json), origin_(std::move(origin)), where_("[" + std::to_string(index) + "]") {}

    [[noreturn]] void fail(const std::string& member, const std::string& reason) const {
        throw ScenarioError(origin_ + ": member '" + where_ + (member.empty() ? "" : ".") + member +
                            "': " + reason);
    }
    const nlohmann::json& require(const std::string& member) const {
        const auto it = json_.find(member);
        if (it == json_.end())
            fail(member, "missing");
        return *it;
    }

    ScriptedEvent read() const {
        if (!json_.is_object())
            fail("", "expected an object");
        ScriptedEvent event;
        const auto& at = require("at");
        if (!at.is_number() || at.get<double>() < 0 || at.get<double>() > kLongestReplay)
            fail("at", "expected a number of seconds from 0 to " +
                           std::to_string(std::int64_t(kLongestReplay)) + " (a year)");
        event.at = at.get<double>();
        const auto& name = require("event");
        if (!name.is_string())
            fail("event", "expected a string");
        const auto found = kinds().find(name.get<std::string>());
        if (found == kinds().end())
            fail("event", "unknown event '" + name.get<std::string>() + "'");
        const KindInfo& info = found->second;
        event.kind = info.kind;
        for (const auto& [member, _] : json_.items())
            if (member != "at" && member != "event" && !info.members.contains(member))
                fail(member, "not a member of " + found->first);
        for (const auto& member : info.members)
            readMember(event, member);
        return event;
    }

private:
    void readMember(ScriptedEvent& event, const std::string& member) const {
        const auto& json = require(member);
        if (member == "pid") {
            if (!json.is_number_integer() || json.get<std::int64_t>() < INT32_MIN ||
                json.get<std::int64_t>() > INT32_MAX)
                fail(member, "expected a 32-bit integer");
            event.pid = std::int32_t(json.get<std::int64_t>());
        } else if (member == "bundleIdentifier") {
            if (!json.is_null() && !json.is_string())
                fail(member, "expected a string or null");
            if (json.is_string())
                event.bundleIdentifier = json.get<std::string>();
        } else if (member == "key") {
            if (!json.is_string())
                fail(member, "expected a string");
            event.key = json.get<std::string>();
        } else if (member == "appearance") {
            if (json != "dark" && json != "light")
                fail(member, "expected \"dark\" or \"light\"");
            event.appearance = json == "dark" ? Appearance::Dark : Appearance::Light;
        } else if (member == "value") {
            if (json.is_null())
                return;
            try {
                event.value = valueFromJson(json);
            } catch (const std::exception& e) {
                fail(member, e.what());
            }
            if (event.kind == EventKind::SetApps)
                event.apps = parseApps(*event.value, origin_ + ": " + where_ + ".value");
        }
    }

    const nlohmann::json& json_;
    std::string origin_;
    std::string where_;
};

} // namespace

std::vector<ScriptedEvent> parseEventScript(std::string_view text, const std::string& origin) {
    nlohmann::json json;
    try {
        json = parseJson(text);
    } catch (const JsonError& e) {
        throw ScenarioError(origin + ": member '" + e.member() +
                            "': not valid JSON: " + e.reason());
    }
    if (!json.is_array())
        throw ScenarioError(origin + ": member '(document)': expected an array of events");
    std::vector<ScriptedEvent> events;
    for (std::size_t i = 0; i < json.size(); ++i)
        events.push_back(EventReader(json[i], origin, i).read());
    std::stable_sort(events.begin(), events.end(),
                     [](const auto& a, const auto& b) { return a.at < b.at; });
    return events;
}

std::vector<ScriptedEvent> loadEventScript(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ScenarioError(file.string() + ": member '(file)': cannot be opened");
    std::ostringstream text;
    text << in.rdbuf();
    return parseEventScript(text.str(), file.string());
}

} // namespace tidemark::sim
