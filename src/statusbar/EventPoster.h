#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tidemark {

// One synthetic input event while it is being filled in. Field numbers are the window
// server's own and travel as plain integers.
class SyntheticEvent {
public:
    virtual ~SyntheticEvent() = default;
    virtual void setType(std::int64_t type) = 0;
    virtual void setIntegerValueField(int field, std::int64_t value) = 0;
    virtual void setDoubleValueField(int field, double value) = 0;
};

// An event that remembers what was set on it, in order: what the sim poster records and
// what the Linux poster reads back.
class RecordedEvent final : public SyntheticEvent {
public:
    struct Field {
        int number = 0;
        std::variant<std::int64_t, double> value;
        friend bool operator==(const Field&, const Field&) = default;
    };

    void setType(std::int64_t type) override { type_ = type; }
    void setIntegerValueField(int field, std::int64_t value) override {
        fields_.push_back({field, value});
    }
    void setDoubleValueField(int field, double value) override {
        fields_.push_back({field, value});
    }

    std::int64_t type() const { return type_; }
    // In the order they were set; a field set twice appears twice.
    const std::vector<Field>& fields() const { return fields_; }
    // The last value set for `field`, when it was set as that kind.
    std::optional<std::int64_t> integerField(int field) const;
    std::optional<double> doubleField(int field) const;

    friend bool operator==(const RecordedEvent& a, const RecordedEvent& b) {
        return a.type_ == b.type_ && a.fields_ == b.fields_;
    }

private:
    std::int64_t type_ = 0;
    std::vector<Field> fields_;
};

// Synthetic input: the trust query and the event calls of a desktop swipe.
class EventPoster {
public:
    static constexpr int kSessionEventTap = 1;

    virtual ~EventPoster() = default;

    // Whether this process may post synthetic input.
    virtual bool isProcessTrusted() = 0;
    // An empty event without a source; nothing when it cannot be created.
    virtual std::unique_ptr<SyntheticEvent> createEvent() = 0;
    // Posts an event this poster created, as part of a gesture meant for `displayID`. Where a
    // swipe moves the display under the pointer the platform ignores the display; a platform
    // without gestures steps that display.
    virtual void post(const SyntheticEvent& event, int tapLocation,
                      const std::string& displayID) = 0;
};

} // namespace tidemark
