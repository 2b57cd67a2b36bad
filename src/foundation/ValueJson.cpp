#include "foundation/ValueJson.h"

#include "foundation/Base64.h"

#include <stdexcept>

namespace tidemark {

namespace {

// Where the parser is, for naming the member at fault.
class JsonPath {
public:
    void enter(bool array) { frames_.push_back({array, 0, {}}); }
    void leave() {
        if (!frames_.empty())
            frames_.pop_back();
        valueDone();
    }
    void key(std::string name) {
        if (!frames_.empty())
            frames_.back().key = std::move(name);
    }
    void valueDone() {
        if (!frames_.empty() && frames_.back().array)
            ++frames_.back().index;
    }
    std::size_t depth() const { return frames_.size(); }
    std::string text() const {
        std::string path;
        for (const auto& frame : frames_) {
            if (frame.array)
                path += "[" + std::to_string(frame.index) + "]";
            else if (!frame.key.empty())
                path += (path.empty() ? "" : ".") + frame.key;
        }
        return path.empty() ? "(document)" : path;
    }

private:
    struct Frame {
        bool array = false;
        std::size_t index = 0;
        std::string key;
    };
    std::vector<Frame> frames_;
};

// The exception's own words, without the library's "[json.exception...] " prefix.
std::string reasonOf(const nlohmann::json::exception& e) {
    std::string_view what = e.what();
    if (const auto end = what.find("] "); what.starts_with("[json.exception") && end != what.npos)
        what.remove_prefix(end + 2);
    return std::string(what);
}

Value valueFromJson(const nlohmann::json& json, std::size_t depth);

} // namespace

JsonError::JsonError(std::string member, std::string reason)
    : std::runtime_error("member '" + member + "': " + reason), member_(std::move(member)),
      reason_(std::move(reason)) {}

nlohmann::json parseJson(std::string_view text) {
    using Event = nlohmann::json::parse_event_t;
    JsonPath path;
    const auto track = [&](int, Event event, nlohmann::json& parsed) {
        switch (event) {
        case Event::object_start:
        case Event::array_start:
            if (path.depth() == kMaxJsonDepth)
                throw JsonError(path.text(),
                                "nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
            path.enter(event == Event::array_start);
            break;
        case Event::object_end:
        case Event::array_end:
            path.leave();
            break;
        case Event::key:
            path.key(parsed.get<std::string>());
            break;
        case Event::value:
            path.valueDone();
            break;
        }
        return true;
    };
    try {
        return nlohmann::json::parse(text, track);
    } catch (const nlohmann::json::exception& e) {
        throw JsonError(path.text(), reasonOf(e));
    }
}

Value valueFromJson(const nlohmann::json& json) {
    return valueFromJson(json, 1);
}

namespace {

Value valueFromJson(const nlohmann::json& json, std::size_t depth) {
    if (depth > kMaxJsonDepth)
        throw std::invalid_argument("nested deeper than " + std::to_string(kMaxJsonDepth) +
                                    " levels");
    using T = nlohmann::json::value_t;
    switch (json.type()) {
    case T::null:
    case T::discarded:
        return Value();
    case T::boolean:
        return Value(json.get<bool>());
    case T::number_integer:
        return Value(json.get<std::int64_t>());
    case T::number_unsigned: {
        const auto u = json.get<std::uint64_t>();
        if (u > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            return Value(double(u));
        return Value(std::int64_t(u));
    }
    case T::number_float:
        return Value(json.get<double>());
    case T::string:
        return Value(json.get<std::string>());
    case T::binary:
        return Value(ByteString(json.get_binary().begin(), json.get_binary().end()));
    case T::array: {
        ValueArray array;
        array.reserve(json.size());
        for (const auto& element : json)
            array.push_back(valueFromJson(element, depth + 1));
        return Value(std::move(array));
    }
    case T::object: {
        if (json.contains("$data") && json["$data"].is_string()) {
            if (json.size() != 1)
                throw std::invalid_argument("\"$data\" cannot have other members beside it");
            auto bytes = base64::decode(json["$data"].get<std::string>());
            if (!bytes)
                throw std::invalid_argument("\"$data\" is not valid base64");
            return Value(std::move(*bytes));
        }
        ValueDictionary dictionary;
        for (const auto& [key, element] : json.items())
            dictionary.emplace(key, valueFromJson(element, depth + 1));
        return Value(std::move(dictionary));
    }
    }
    return Value();
}

} // namespace

nlohmann::ordered_json jsonFromValue(const Value& value) {
    using K = Value::Kind;
    switch (value.kind()) {
    case K::Null:
        return nullptr;
    case K::Boolean:
        return *value.asBoolean();
    case K::Integer:
        return *value.asInteger();
    case K::Real:
        return *value.asNumber();
    case K::String:
        return *value.asString();
    case K::Data:
        return nlohmann::ordered_json{{"$data", base64::encode(*value.asData())}};
    case K::Array: {
        auto array = nlohmann::ordered_json::array();
        for (const auto& element : *value.asArray())
            array.push_back(jsonFromValue(element));
        return array;
    }
    case K::Dictionary: {
        auto object = nlohmann::ordered_json::object();
        for (const auto& [key, element] : *value.asDictionary())
            object[key] = jsonFromValue(element);
        return object;
    }
    }
    return nullptr;
}

} // namespace tidemark
