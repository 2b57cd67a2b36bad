#pragma once

#include "foundation/Value.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

struct Notification {
    std::string name;
    ValueDictionary userInfo;
};

class NotificationCenter;

// Keeps one observation alive; the observer is removed when the token dies.
class ObservationToken {
public:
    ObservationToken() = default;
    ObservationToken(ObservationToken&&) noexcept = default;
    ObservationToken& operator=(ObservationToken&&) noexcept;
    ObservationToken(const ObservationToken&) = delete;
    ObservationToken& operator=(const ObservationToken&) = delete;
    ~ObservationToken() { reset(); }

    void reset();

private:
    friend class NotificationCenter;
    struct Registry;
    ObservationToken(std::weak_ptr<Registry> registry, std::uint64_t id)
        : registry_(std::move(registry)), id_(id) {}

    std::weak_ptr<Registry> registry_;
    std::uint64_t id_ = 0;
};

// Delivers named notifications synchronously, on the poster's thread, to the observers
// registered for that name at the time of posting.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    NotificationCenter();
    ~NotificationCenter();

    [[nodiscard]] ObservationToken addObserver(std::string name, Handler handler);
    void post(std::string_view name, ValueDictionary userInfo = {});
    std::size_t observerCount(std::string_view name) const;

private:
    std::shared_ptr<ObservationToken::Registry> registry_;
};

} // namespace tidemark
