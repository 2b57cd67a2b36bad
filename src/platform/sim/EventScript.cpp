#include "platform/sim/EventScript.h"

#include "foundation/ValueJson.h"
#include "shortcuts/Shortcut.h"

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
    std::set<std::string> optionalMembers = {};
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
        {"keyDown", {EventKind::KeyDown, {"keyCode", "modifiers"}}},
        {"keyUp", {EventKind::KeyUp, {"keyCode", "modifiers"}}},
        {"pointerEntered", {EventKind::PointerEntered, {}}},
        {"pointerExited", {EventKind::PointerExited, {}}},
        {"pointerMoved", {EventKind::PointerMoved, {"x", "y"}}},
        {"panelEntered", {EventKind::PanelEntered, {}}},
        {"panelExited", {EventKind::PanelExited, {}}},
        {"mouseDown", {EventKind::MouseDown, {"button", "x", "y"}, {"modifiers"}}},
        {"mouseUp", {EventKind::MouseUp, {"button", "x", "y"}, {"modifiers"}}},
        {"scroll", {EventKind::Scroll, {"x", "y", "deltaY"}}},
        {"popover", {EventKind::Popover, {"action"}, {"pid"}}},
        {"alertButton", {EventKind::AlertButton, {"index"}}},
        {"setTrusted", {EventKind::SetTrusted, {"value"}}},
        {"dumpModel", {EventKind::DumpModel, {}}},
        {"rowDragged", {EventKind::RowDragged, {"pid"}}},
        {"rowDropped", {EventKind::RowDropped, {}}},
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
            if (member != "at" && member != "event" && !info.members.contains(member) &&
                !info.optionalMembers.contains(member))
                fail(member, "not a member of " + found->first);
        for (const auto& member : info.members)
            readMember(event, member);
        for (const auto& member : info.optionalMembers)
            if (json_.contains(member))
                readMember(event, member);
        if (event.kind == EventKind::Popover) {
            const bool needsPid =
                event.action == PopoverAction::QuitApp || event.action == PopoverAction::Clean;
            if (needsPid && !json_.contains("pid"))
                fail("pid", "missing");
            if (!needsPid && json_.contains("pid"))
                fail("pid", "not a member of this action");
        }
        return event;
    }

private:
    void readMember(ScriptedEvent& event, const std::string& member) const {
        if (member == "modifiers") {
            readModifiers(event);
            return;
        }
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
        } else if (member == "keyCode") {
            if (!json.is_number_integer() || json.get<std::int64_t>() < 0 ||
                json.get<std::int64_t>() > std::int64_t{UINT32_MAX})
                fail(member, "expected a key code from 0 to 4294967295");
            event.keyCode = std::uint32_t(json.get<std::int64_t>());
        } else if (member == "key") {
            if (!json.is_string())
                fail(member, "expected a string");
            event.key = json.get<std::string>();
        } else if (member == "appearance") {
            if (json != "dark" && json != "light")
                fail(member, "expected \"dark\" or \"light\"");
            event.appearance = json == "dark" ? Appearance::Dark : Appearance::Light;
        } else if (member == "x" || member == "y") {
            if (!json.is_number())
                fail(member, "expected a number of points");
            (member == "x" ? event.point.x : event.point.y) = json.get<double>();
        } else if (member == "deltaY") {
            if (!json.is_number_integer() || json.get<std::int64_t>() < INT32_MIN ||
                json.get<std::int64_t>() > INT32_MAX)
                fail(member, "expected a whole number of notches (32-bit)");
            event.notches = int(json.get<std::int64_t>());
        } else if (member == "button") {
            if (json != "left" && json != "right")
                fail(member, "expected \"left\" or \"right\"");
            event.button = json == "left" ? MouseButton::Left : MouseButton::Right;
        } else if (member == "action") {
            event.action = readAction(json);
        } else if (member == "index") {
            if (!json.is_number_integer() || json.get<std::int64_t>() < 1 ||
                json.get<std::int64_t>() > 3)
                fail(member, "expected 1, 2 or 3");
            event.index = int(json.get<std::int64_t>());
        } else if (member == "value" && event.kind == EventKind::SetTrusted) {
            if (!json.is_boolean())
                fail(member, "expected true or false");
            event.trusted = json.get<bool>();
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

    PopoverAction readAction(const nlohmann::json& json) const {
        static const std::map<std::string, PopoverAction, std::less<>> names{
            {"quitApp", PopoverAction::QuitApp},
            {"quitAll", PopoverAction::QuitAll},
            {"scan", PopoverAction::Scan},
            {"clean", PopoverAction::Clean},
            {"cleanAll", PopoverAction::CleanAll},
            {"dismissResidual", PopoverAction::DismissResidual},
            {"sleep", PopoverAction::Sleep}};
        const auto found = json.is_string() ? names.find(json.get<std::string>()) : names.end();
        if (found == names.end())
            fail("action", "unknown control " + json.dump());
        return found->second;
    }

    // Optional: an array of "command", "shift", "option", "control", "function". A key event
    // carries them as hot-key bits, a mouse event as the event's own flags.
    void readModifiers(ScriptedEvent& event) const {
        struct Modifier {
            std::string_view name;
            std::int64_t hotKeyBit;
            ModifierFlags eventFlag;
        };
        static constexpr Modifier modifiers[] = {
            {"command", KeyBindings::modifier::kCommand, ModifierFlags::Command},
            {"shift", KeyBindings::modifier::kShift, ModifierFlags::Shift},
            {"option", KeyBindings::modifier::kOption, ModifierFlags::Option},
            {"control", KeyBindings::modifier::kControl, ModifierFlags::Control},
            {"function", KeyBindings::modifier::kFunction, ModifierFlags::None}};
        const auto it = json_.find("modifiers");
        if (it == json_.end())
            return;
        if (!it->is_array())
            fail("modifiers", "expected an array of modifier names");
        for (const auto& name : *it) {
            const auto found = std::find_if(
                std::begin(modifiers), std::end(modifiers), [&name](const Modifier& m) {
                    return name.is_string() && name.get<std::string>() == m.name;
                });
            if (found == std::end(modifiers))
                fail("modifiers", "unknown modifier " + name.dump() +
                                      " (command, shift, option, control or function)");
            event.modifiers |= std::uint32_t(found->hotKeyBit);
            event.mouseModifiers = event.mouseModifiers | found->eventFlag;
        }
    }

    const nlohmann::json& json_;
    std::string origin_;
    std::string where_;
};

} // namespace

bool isInteraction(EventKind kind) {
    return kind >= EventKind::PointerEntered;
}

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
