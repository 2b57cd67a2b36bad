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

namespace {

// The library's document builder, told each event on the way, so that the reader knows where
// it is and how deep. (The library's callback reader would do the same, but after each object
// it walks the whole of the array around it: quadratic in the array's length.)
class TrackingReader {
public:
    using Json = nlohmann::json;
    explicit TrackingReader(Json& result) : document_(result) {}

    bool null() { return value(document_.null()); }
    bool boolean(bool b) { return value(document_.boolean(b)); }
    bool number_integer(Json::number_integer_t n) { return value(document_.number_integer(n)); }
    bool number_unsigned(Json::number_unsigned_t n) { return value(document_.number_unsigned(n)); }
    bool number_float(Json::number_float_t n, const Json::string_t& text) {
        return value(document_.number_float(n, text));
    }
    bool string(Json::string_t& text) { return value(document_.string(text)); }
    bool binary(Json::binary_t& bytes) { return value(document_.binary(bytes)); }
    bool start_object(std::size_t size) {
        enter(false);
        return document_.start_object(size);
    }
    bool key(Json::string_t& name) {
        path_.key(name);
        return document_.key(name);
    }
    bool end_object() {
        path_.leave();
        return document_.end_object();
    }
    bool start_array(std::size_t size) {
        enter(true);
        return document_.start_array(size);
    }
    bool end_array() {
        path_.leave();
        return document_.end_array();
    }
    template <typename Exception>
    bool parse_error(std::size_t at, const std::string& token, const Exception& error) {
        return document_.parse_error(at, token, error); // throws
    }

    const JsonPath& path() const { return path_; }

private:
    bool value(bool kept) {
        path_.valueDone();
        return kept;
    }
    void enter(bool array) {
        if (path_.depth() == kMaxJsonDepth)
            throw JsonError(path_.text(),
                            "nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
        path_.enter(array);
    }

    nlohmann::detail::json_sax_dom_parser<Json> document_;
    JsonPath path_;
};

} // namespace

nlohmann::json parseJson(std::string_view text) {
    nlohmann::json result;
    TrackingReader reader(result);
    try {
        nlohmann::json::sax_parse(text, &reader);
    } catch (const nlohmann::json::exception& e) {
        throw JsonError(reader.path().text(), reasonOf(e));
    }
    return result;
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
