#pragma once

#include <cstdint>
#include <memory>

namespace tidemark {

template <typename Event, auto keyMember> class EventChannel;

// Keeps one observation alive; the observer is removed when the token dies.
class ObservationToken {
public:
    // What a token takes its observation out of when it dies.
    class Registry {
    public:
        virtual void remove(std::uint64_t id) = 0;

    protected:
        ~Registry() = default;
    };

    ObservationToken() = default;
    ObservationToken(ObservationToken&&) noexcept = default;
    ObservationToken& operator=(ObservationToken&&) noexcept;
    ObservationToken(const ObservationToken&) = delete;
    ObservationToken& operator=(const ObservationToken&) = delete;
    ~ObservationToken() { reset(); }

    void reset();

private:
    template <typename Event, auto keyMember> friend class EventChannel;
    ObservationToken(std::weak_ptr<Registry> registry, std::uint64_t id)
        : registry_(std::move(registry)), id_(id) {}

    std::weak_ptr<Registry> registry_;
    std::uint64_t id_ = 0;
};

} // namespace tidemark
