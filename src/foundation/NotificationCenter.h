#pragma once

#include "foundation/EventChannel.h"
#include "foundation/Value.h"

#include <string>
#include <string_view>

namespace tidemark {

struct Notification {
    std::string name;
    ValueDictionary userInfo;
};

// Delivers named notifications synchronously, on the poster's thread, to the observers
// registered for that name at the time of posting.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    [[nodiscard]] ObservationToken addObserver(std::string name, Handler handler) {
        return channel_.addObserver(std::move(name), std::move(handler));
    }
    void post(std::string_view name, ValueDictionary userInfo = {}) {
        channel_.post(Notification{std::string(name), std::move(userInfo)});
    }
    std::size_t observerCount(std::string_view name) const { return channel_.observerCount(name); }

private:
    EventChannel<Notification, &Notification::name> channel_;
};

} // namespace tidemark
