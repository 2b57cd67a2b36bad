#include "foundation/NotificationCenter.h"

#include <algorithm>
#include <utility>

namespace tidemark {

struct ObservationToken::Registry {
    struct Entry {
        std::uint64_t id;
        std::string name;
        std::shared_ptr<NotificationCenter::Handler> handler;
    };
    std::uint64_t nextId = 1;
    std::vector<Entry> entries;
};

ObservationToken& ObservationToken::operator=(ObservationToken&& other) noexcept {
    if (this != &other) {
        reset();
        registry_ = std::move(other.registry_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void ObservationToken::reset() {
    if (auto registry = registry_.lock()) {
        std::erase_if(registry->entries, [this](const auto& e) { return e.id == id_; });
    }
    registry_.reset();
    id_ = 0;
}

NotificationCenter::NotificationCenter()
    : registry_(std::make_shared<ObservationToken::Registry>()) {}

NotificationCenter::~NotificationCenter() = default;

ObservationToken NotificationCenter::addObserver(std::string name, Handler handler) {
    const auto id = registry_->nextId++;
    registry_->entries.push_back(
        {id, std::move(name), std::make_shared<Handler>(std::move(handler))});
    return ObservationToken(registry_, id);
}

void NotificationCenter::post(std::string_view name, ValueDictionary userInfo) {
    const Notification notification{std::string(name), std::move(userInfo)};
    // Observers may add or remove observers while being notified: deliver to a copy, and
    // skip any that were removed in the meantime.
    std::vector<std::pair<std::uint64_t, std::weak_ptr<Handler>>> targets;
    for (const auto& entry : registry_->entries)
        if (entry.name == name)
            targets.emplace_back(entry.id, entry.handler);
    for (const auto& [id, weakHandler] : targets) {
        const bool stillRegistered =
            std::any_of(registry_->entries.begin(), registry_->entries.end(),
                        [id = id](const auto& e) { return e.id == id; });
        if (!stillRegistered)
            continue;
        if (auto handler = weakHandler.lock())
            (*handler)(notification);
    }
}

std::size_t NotificationCenter::observerCount(std::string_view name) const {
    return std::size_t(std::count_if(registry_->entries.begin(), registry_->entries.end(),
                                     [name](const auto& e) { return e.name == name; }));
}

} // namespace tidemark
