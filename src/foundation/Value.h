#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tidemark {

class Value;

using ValueArray = std::vector<Value>;
using ValueDictionary = std::map<std::string, Value, std::less<>>;
using ByteString = std::vector<std::uint8_t>;

// A property-list value: what the window server, the kernel and the settings store hand
// over. The typed readers answer "is this an X" the way the consumers need it; they never
// convert between kinds except where noted.
class Value {
public:
    enum class Kind { Null, Boolean, Integer, Real, String, Data, Array, Dictionary };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : storage_(b) {}
    Value(int i) : storage_(std::int64_t{i}) {}
    Value(long i) : storage_(std::int64_t{i}) {}
    Value(long long i) : storage_(std::int64_t{i}) {}
    Value(unsigned u) : storage_(std::int64_t{u}) {}
    Value(double d) : storage_(d) {}
    Value(const char* s) : storage_(std::string(s)) {}
    Value(std::string s) : storage_(std::move(s)) {}
    Value(std::string_view s) : storage_(std::string(s)) {}
    Value(ByteString d) : storage_(std::move(d)) {}
    Value(ValueArray a) : storage_(std::move(a)) {}
    Value(ValueDictionary d) : storage_(std::move(d)) {}

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isNull() const { return kind() == Kind::Null; }

    std::optional<bool> asBoolean() const;
    // "an integer": an integer value, never a real or a boolean.
    std::optional<std::int64_t> asInteger() const;
    // "a 32-bit integer": an integer that fits in 32 signed bits.
    std::optional<std::int32_t> asInt32() const;
    // "a number": an integer or a real.
    std::optional<double> asNumber() const;
    const std::string* asString() const { return std::get_if<std::string>(&storage_); }
    const ByteString* asData() const { return std::get_if<ByteString>(&storage_); }
    const ValueArray* asArray() const { return std::get_if<ValueArray>(&storage_); }
    const ValueDictionary* asDictionary() const { return std::get_if<ValueDictionary>(&storage_); }
    // "an array of dictionaries keyed by strings": every element must be a dictionary.
    std::optional<std::vector<const ValueDictionary*>> asArrayOfDictionaries() const;

    // Member of a dictionary value; null pointer when absent or when this is no dictionary.
    const Value* find(std::string_view key) const;

    friend bool operator==(const Value&, const Value&) = default;

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, ByteString, ValueArray,
                 ValueDictionary>
        storage_;
};

// Member of a dictionary; null pointer when absent.
const Value* findIn(const ValueDictionary& dictionary, std::string_view key);

} // namespace tidemark
