#include "foundation/Value.h"

#include <limits>

namespace tidemark {

std::optional<bool> Value::asBoolean() const {
    if (const auto* b = std::get_if<bool>(&scalar_))
        return *b;
    return std::nullopt;
}

std::optional<std::int64_t> Value::asInteger() const {
    if (const auto* i = std::get_if<std::int64_t>(&scalar_))
        return *i;
    return std::nullopt;
}

std::optional<std::int32_t> Value::asInt32() const {
    const auto i = asInteger();
    if (!i || *i < std::numeric_limits<std::int32_t>::min() ||
        *i > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*i);
}

std::optional<double> Value::asNumber() const {
    if (const auto* i = std::get_if<std::int64_t>(&scalar_))
        return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&scalar_))
        return *d;
    return std::nullopt;
}

std::optional<std::vector<const ValueDictionary*>> Value::asArrayOfDictionaries() const {
    const auto* array = asArray();
    if (!array)
        return std::nullopt;
    std::vector<const ValueDictionary*> result;
    result.reserve(array->size());
    for (const auto& element : *array) {
        const auto* dictionary = element.asDictionary();
        if (!dictionary)
            return std::nullopt;
        result.push_back(dictionary);
    }
    return result;
}

bool operator==(const Value& a, const Value& b) {
    if (a.payload_ && b.payload_)
        return a.payload_ == b.payload_ || *a.payload_ == *b.payload_;
    return !a.payload_ && !b.payload_ && a.scalar_ == b.scalar_;
}

const Value* Value::find(std::string_view key) const {
    const auto* dictionary = asDictionary();
    return dictionary ? findIn(*dictionary, key) : nullptr;
}

const Value* findIn(const ValueDictionary& dictionary, std::string_view key) {
    const auto it = dictionary.find(key);
    return it == dictionary.end() ? nullptr : &it->second;
}

} // namespace tidemark
