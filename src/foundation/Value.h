#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
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
//
// Strings, data, arrays and dictionaries are immutable and shared: copying a Value costs a
// reference count, so a port can hand out the same answer to every caller. Build a container
// first, then move it into a Value; to change one, copy the container out (`*asArray()`),
// edit the copy and make a new Value of it.
class Value {
public:
    enum class Kind { Null, Boolean, Integer, Real, String, Data, Array, Dictionary };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : scalar_(b) {}
    Value(int i) : scalar_(std::int64_t{i}) {}
    Value(long i) : scalar_(std::int64_t{i}) {}
    Value(long long i) : scalar_(std::int64_t{i}) {}
    Value(unsigned u) : scalar_(std::int64_t{u}) {}
    Value(double d) : scalar_(d) {}
    Value(const char* s) : Value(std::string(s)) {}
    Value(std::string s) : payload_(makePayload(std::move(s))) {}
    Value(std::string_view s) : Value(std::string(s)) {}
    Value(ByteString d) : payload_(makePayload(std::move(d))) {}
    Value(ValueArray a) : payload_(makePayload(std::move(a))) {}
    Value(ValueDictionary d) : payload_(makePayload(std::move(d))) {}

    Kind kind() const {
        return static_cast<Kind>(payload_ ? kFirstPayloadKind + payload_->index()
                                          : scalar_.index());
    }
    bool isNull() const { return kind() == Kind::Null; }

    std::optional<bool> asBoolean() const;
    // "an integer": an integer value, never a real or a boolean.
    std::optional<std::int64_t> asInteger() const;
    // "a 32-bit integer": an integer that fits in 32 signed bits.
    std::optional<std::int32_t> asInt32() const;
    // "a number": an integer or a real.
    std::optional<double> asNumber() const;
    const std::string* asString() const { return payload<std::string>(); }
    const ByteString* asData() const { return payload<ByteString>(); }
    const ValueArray* asArray() const { return payload<ValueArray>(); }
    const ValueDictionary* asDictionary() const { return payload<ValueDictionary>(); }
    // "an array of dictionaries keyed by strings": every element must be a dictionary.
    std::optional<std::vector<const ValueDictionary*>> asArrayOfDictionaries() const;

    // Member of a dictionary value; null pointer when absent or when this is no dictionary.
    const Value* find(std::string_view key) const;

    // Equal kinds and equal contents; shared payloads compare without a walk.
    friend bool operator==(const Value& a, const Value& b);

    // Whether both hold the very same payload (or equal scalars): a port that hands out a
    // shared answer can be checked for not having copied it.
    bool sharesStorageWith(const Value& other) const {
        return payload_ ? payload_ == other.payload_ : !other.payload_ && scalar_ == other.scalar_;
    }

private:
    // Kinds in `Kind` order; the containers are built once and then only shared.
    using Scalar = std::variant<std::monostate, bool, std::int64_t, double>;
    using Payload = std::variant<std::string, ByteString, ValueArray, ValueDictionary>;
    static constexpr std::size_t kFirstPayloadKind = std::variant_size_v<Scalar>;

    template <typename T> static std::shared_ptr<const Payload> makePayload(T&& contents) {
        return std::make_shared<const Payload>(std::in_place_type<std::decay_t<T>>,
                                               std::forward<T>(contents));
    }
    template <typename T> const T* payload() const {
        return payload_ ? std::get_if<T>(payload_.get()) : nullptr;
    }

    Scalar scalar_;
    std::shared_ptr<const Payload> payload_;
};

// Member of a dictionary; null pointer when absent.
const Value* findIn(const ValueDictionary& dictionary, std::string_view key);

} // namespace tidemark
