#include "foundation/ValueJson.h"

#include "foundation/Base64.h"

#include <stdexcept>

namespace tidemark {

Value valueFromJson(const nlohmann::json& json) {
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
            array.push_back(valueFromJson(element));
        return Value(std::move(array));
    }
    case T::object: {
        if (json.size() == 1 && json.contains("$data") && json["$data"].is_string()) {
            auto bytes = base64::decode(json["$data"].get<std::string>());
            if (!bytes)
                throw std::invalid_argument("\"$data\" is not valid base64");
            return Value(std::move(*bytes));
        }
        ValueDictionary dictionary;
        for (const auto& [key, element] : json.items())
            dictionary.emplace(key, valueFromJson(element));
        return Value(std::move(dictionary));
    }
    }
    return Value();
}

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
