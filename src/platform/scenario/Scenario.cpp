#include "platform/scenario/Scenario.h"

#include "foundation/Text.h"
#include "foundation/ValueJson.h"
#include "platform/scenario/WindowServerAnswers.h"

#include <fstream>
#include <set>
#include <sstream>

namespace tidemark::sim {
namespace {

// Reads the members of one JSON object, rejecting any member it was not asked about.
class ObjectReader {
public:
    ObjectReader(const Value& value, std::string origin, std::string where)
        : origin_(std::move(origin)), where_(std::move(where)) {
        object_ = value.asDictionary();
        if (!object_)
            fail(where_.empty() ? "(document)" : where_, "expected an object");
    }

    [[noreturn]] void fail(const std::string& member, const std::string& reason) const {
        throw ScenarioError(origin_ + ": member '" + member + "': " + reason);
    }

    std::string path(std::string_view key) const {
        return where_.empty() ? std::string(key) : where_ + "." + std::string(key);
    }

    const Value* take(std::string_view key) {
        seen_.insert(std::string(key));
        return findIn(*object_, key);
    }

    template <typename T, typename Read>
    void read(std::string_view key, T& out, Read&& readValue, const char* expected) {
        const Value* v = take(key);
        if (!v)
            return;
        auto parsed = readValue(*v);
        if (!parsed)
            fail(path(key), std::string("expected ") + expected);
        out = *parsed;
    }

    void integer(std::string_view key, std::int64_t& out) {
        read(
            key, out, [](const Value& v) { return v.asInteger(); }, "an integer");
    }
    // A byte, page or time count: an integer of at least 0.
    void count(std::string_view key, std::int64_t& out) {
        read(
            key, out,
            [](const Value& v) {
                const auto i = v.asInteger();
                return i && *i >= 0 ? i : std::nullopt;
            },
            "an integer, at least 0");
    }
    void int32(std::string_view key, std::int32_t& out) {
        read(
            key, out, [](const Value& v) { return v.asInt32(); }, "a 32-bit integer");
    }
    std::int32_t requiredInt32(std::string_view key) {
        const Value* v = take(key);
        if (!v)
            fail(path(key), "missing");
        if (!v->asInt32())
            fail(path(key), "expected a 32-bit integer");
        return *v->asInt32();
    }
    void boolean(std::string_view key, bool& out) {
        read(
            key, out, [](const Value& v) { return v.asBoolean(); }, "true or false");
    }
    void optionalString(std::string_view key, std::optional<std::string>& out) {
        const Value* v = take(key);
        if (!v || v->isNull())
            return;
        if (!v->asString())
            fail(path(key), "expected a string or null");
        out = *v->asString();
    }

    // Call last: every member must have been asked about.
    void finish() const {
        for (const auto& [key, value] : *object_)
            if (!seen_.contains(key))
                fail(path(key), "unknown member");
    }

    const std::string& origin() const { return origin_; }

private:
    const ValueDictionary* object_ = nullptr;
    std::string origin_;
    std::string where_;
    std::set<std::string> seen_;
};

std::string indexed(const std::string& where, std::size_t i) {
    return where + "[" + std::to_string(i) + "]";
}

const ValueArray& requireArray(const ObjectReader& parent, const Value& value,
                               const std::string& where) {
    const auto* array = value.asArray();
    if (!array)
        parent.fail(where, "expected an array");
    return *array;
}

ActivationPolicy parsePolicy(const ObjectReader& reader, const Value* value,
                             const std::string& where) {
    if (!value)
        return ActivationPolicy::Regular;
    const auto* s = value->asString();
    if (s && *s == "regular")
        return ActivationPolicy::Regular;
    if (s && *s == "accessory")
        return ActivationPolicy::Accessory;
    if (s && *s == "prohibited")
        return ActivationPolicy::Prohibited;
    reader.fail(where, "expected \"regular\", \"accessory\" or \"prohibited\"");
}

App parseApp(const Value& value, const std::string& origin, const std::string& where) {
    ObjectReader r(value, origin, where);
    App app;
    auto& a = app.application;
    a.pid = r.requiredInt32("pid");
    r.optionalString("bundleIdentifier", a.bundleIdentifier);
    r.optionalString("localizedName", a.localizedName);
    r.optionalString("bundlePath", a.bundlePath);
    a.activationPolicy = parsePolicy(r, r.take("activationPolicy"), r.path("activationPolicy"));
    r.boolean("hidden", a.hidden);
    r.boolean("terminated", a.terminated);
    r.boolean("acceptsTerminate", app.acceptsTerminate);
    r.boolean("acceptsForceTerminate", app.acceptsForceTerminate);
    // null: the owner had already ended when its windows were first seen.
    if (const Value* v = r.take("seenOwnerStartTime")) {
        const auto stamp = v->asInteger();
        if (!v->isNull() && (!stamp || *stamp < 0))
            r.fail(r.path("seenOwnerStartTime"), "expected a start time or null");
        a.seenOwner = stamp ? SeenOwner(std::uint64_t(*stamp)) : SeenOwner();
    }
    r.finish();
    return app;
}

template <typename Record>
std::optional<Record>
parseFigures(const Value* value, const std::string& origin, const std::string& where,
             std::initializer_list<std::pair<const char*, std::int64_t Record::*>> fields) {
    if (!value || value->isNull())
        return std::nullopt;
    ObjectReader r(*value, origin, where);
    Record record;
    for (const auto& [key, member] : fields)
        r.count(key, record.*member);
    r.finish();
    return record;
}

Process parseProcess(const Value& value, const std::string& origin, const std::string& where) {
    ObjectReader r(value, origin, where);
    Process p;
    p.pid = r.requiredInt32("pid");
    r.int32("ppid", p.ppid);
    r.optionalString("name", p.name);
    r.optionalString("path", p.path);
    r.optionalString("args", p.args);
    r.integer("uid", p.uid);
    r.integer("startTime", p.startTime);
    p.rusage = parseFigures<ProcessUsage>(r.take("rusage"), origin, r.path("rusage"),
                                          {{"physFootprint", &ProcessUsage::physFootprint},
                                           {"userTimeNs", &ProcessUsage::userTimeNs},
                                           {"systemTimeNs", &ProcessUsage::systemTimeNs},
                                           {"idleWakeups", &ProcessUsage::idleWakeups}});
    p.taskInfo = parseFigures<TaskInfo>(r.take("taskInfo"), origin, r.path("taskInfo"),
                                        {{"residentSize", &TaskInfo::residentSize},
                                         {"userTimeNs", &TaskInfo::userTimeNs},
                                         {"systemTimeNs", &TaskInfo::systemTimeNs}});
    r.boolean("ignoresSigterm", p.ignoresSigterm);
    r.boolean("ignoresSigkill", p.ignoresSigkill);
    if (const Value* v = r.take("threadOf"); v && !v->isNull()) {
        p.threadOf = v->asInt32();
        if (!p.threadOf)
            r.fail(r.path("threadOf"), "expected a pid");
    }
    r.finish();
    return p;
}

Memory parseMemory(const Value& value, const std::string& origin) {
    ObjectReader r(value, origin, "memory");
    Memory m;
    r.count("physicalMemory", m.physicalMemory);
    r.count("pageSize", m.pageSize);
    if (const Value* vm = r.take("vmStatistics")) {
        m.vmStatistics =
            parseFigures<VmStatistics>(vm, origin, r.path("vmStatistics"),
                                       {{"wireCount", &VmStatistics::wireCount},
                                        {"compressorPageCount", &VmStatistics::compressorPageCount},
                                        {"internalPageCount", &VmStatistics::internalPageCount},
                                        {"purgeableCount", &VmStatistics::purgeableCount}});
    }
    r.finish();
    return m;
}

Scenario parseScenarioValue(const Value& root, const std::string& origin) {
    ObjectReader r(root, origin, "");
    Scenario s;
    if (const Value* v = r.take("appearance")) {
        const auto* name = v->asString();
        if (name && *name == "dark")
            s.appearance = Appearance::Dark;
        else if (name && *name == "light")
            s.appearance = Appearance::Light;
        else
            r.fail("appearance", "expected \"dark\" or \"light\"");
    }
    if (const Value* v = r.take("settings")) {
        if (!v->asDictionary())
            r.fail("settings", "expected an object");
        for (const auto& [key, setting] : *v->asDictionary()) {
            if (setting.isNull())
                r.fail("settings." + key, "a stored setting cannot be null");
            s.settings.emplace(key, setting);
        }
    }
    if (const Value* v = r.take("self")) {
        ObjectReader self(*v, origin, "self");
        self.int32("pid", s.self.pid);
        self.optionalString("bundleIdentifier", s.self.bundleIdentifier);
        self.integer("uid", s.self.uid);
        self.finish();
    }
    // Displays and windows are read by the window server's callers' own rules, so malformed
    // answers load and drop out there as they would live.
    if (const Value* v = r.take("displays"))
        s.displays = readDisplays(v->isNull() ? std::nullopt : std::optional<Value>(*v));
    r.boolean("spacesForWindowsAvailable", s.spacesForWindowsAvailable);
    if (const Value* v = r.take("windows"))
        s.windows = readWindows(v->isNull() ? std::nullopt : std::optional<Value>(*v),
                                s.spacesForWindowsAvailable);
    else
        s.windows = readWindows(Value(ValueArray{}), s.spacesForWindowsAvailable);
    // Only a lookup shortcut of the macOS window server: every window's spaces tell the same.
    bool windowsOnSpacesAvailable = true;
    r.boolean("windowsOnSpacesAvailable", windowsOnSpacesAvailable);
    if (const Value* v = r.take("apps"))
        s.apps = parseApps(*v, origin + ": apps");
    if (const Value* v = r.take("installedBundleIDs")) {
        const auto& ids = requireArray(r, *v, "installedBundleIDs");
        for (std::size_t i = 0; i < ids.size(); ++i) {
            if (!ids[i].asString())
                r.fail(indexed("installedBundleIDs", i), "expected a string");
            s.installedBundleIDs.push_back(*ids[i].asString());
        }
    }
    if (const Value* v = r.take("processes")) {
        const auto& list = requireArray(r, *v, "processes");
        for (std::size_t i = 0; i < list.size(); ++i)
            s.processes.push_back(parseProcess(list[i], origin, indexed("processes", i)));
    }
    if (const Value* v = r.take("memory"))
        s.memory = parseMemory(*v, origin);
    r.boolean("accessibilityTrusted", s.accessibilityTrusted);
    r.finish();
    return s;
}

} // namespace

std::vector<App> parseApps(const Value& value, const std::string& where) {
    // `where` is "<origin>: <member>"; split it back for the readers' messages.
    const auto colon = where.rfind(": ");
    const std::string origin = colon == std::string::npos ? where : where.substr(0, colon);
    const std::string member = colon == std::string::npos ? "apps" : where.substr(colon + 2);
    const auto* list = value.asArray();
    if (!list)
        throw ScenarioError(origin + ": member '" + member + "': expected an array");
    std::vector<App> apps;
    for (std::size_t i = 0; i < list->size(); ++i)
        apps.push_back(parseApp((*list)[i], origin, indexed(member, i)));
    return apps;
}

ScenarioError::ScenarioError(const std::string& message)
    : std::runtime_error(text::printable(message)) {}

Scenario parseScenario(std::string_view json, const std::string& origin) {
    nlohmann::json parsed;
    try {
        parsed = parseJson(json);
    } catch (const JsonError& e) {
        throw ScenarioError(origin + ": member '" + e.member() +
                            "': not valid JSON: " + e.reason());
    }
    Value root;
    try {
        root = valueFromJson(parsed);
    } catch (const std::invalid_argument& e) {
        throw ScenarioError(origin + ": member '(document)': " + e.what());
    }
    return parseScenarioValue(root, origin);
}

Scenario loadScenario(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ScenarioError(file.string() + ": member '(file)': cannot be opened");
    std::ostringstream text;
    text << in.rdbuf();
    return parseScenario(text.str(), file.string());
}

} // namespace tidemark::sim
