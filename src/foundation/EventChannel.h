#pragma once

#include "foundation/ObservationToken.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tidemark {

namespace detail {
template <typename> struct MemberOf;
template <typename Class, typename Member> struct MemberOf<Member Class::*> {
    using type = Member;
};
} // namespace detail

// Delivers events synchronously, on the poster's thread, to the observers registered at the
// time of posting for the event's key (the member `keyMember` of the event), or for every
// event.
template <typename Event, auto keyMember> class EventChannel {
public:
    using Key = typename detail::MemberOf<decltype(keyMember)>::type;
    using Handler = std::function<void(const Event&)>;

    EventChannel() : registry_(std::make_shared<Entries>()) {}
    EventChannel(const EventChannel&) = delete;
    EventChannel& operator=(const EventChannel&) = delete;

    [[nodiscard]] ObservationToken addObserver(Key key, Handler handler) {
        return add(std::move(key), std::move(handler));
    }
    [[nodiscard]] ObservationToken addObserverForAll(Handler handler) {
        return add(std::nullopt, std::move(handler));
    }

    void post(const Event& event) const {
        const Key& key = event.*keyMember;
        // Observers may add or remove observers while being notified: deliver to a copy, and
        // skip any that were removed in the meantime.
        std::vector<std::pair<std::uint64_t, std::weak_ptr<const Handler>>> targets;
        for (const auto& entry : registry_->entries)
            if (entry.matches(key))
                targets.emplace_back(entry.id, entry.handler);
        for (const auto& [id, weakHandler] : targets) {
            if (!registry_->contains(id))
                continue;
            if (auto handler = weakHandler.lock())
                (*handler)(event);
        }
    }

    // Observers of this key, not counting those of every event.
    template <typename K> std::size_t observerCount(const K& key) const {
        return std::size_t(
            std::count_if(registry_->entries.begin(), registry_->entries.end(),
                          [&key](const Entry& e) { return e.key && *e.key == key; }));
    }

private:
    struct Entry {
        std::uint64_t id;
        std::optional<Key> key; // nothing: every event
        std::shared_ptr<const Handler> handler;

        bool matches(const Key& k) const { return !key || *key == k; }
    };

    struct Entries final : ObservationToken::Registry {
        std::uint64_t nextId = 1;
        std::vector<Entry> entries;

        void remove(std::uint64_t id) override {
            std::erase_if(entries, [id](const Entry& e) { return e.id == id; });
        }
        bool contains(std::uint64_t id) const {
            return std::any_of(entries.begin(), entries.end(),
                               [id](const Entry& e) { return e.id == id; });
        }
    };

    ObservationToken add(std::optional<Key> key, Handler handler) {
        const auto id = registry_->nextId++;
        registry_->entries.push_back(
            {id, std::move(key), std::make_shared<const Handler>(std::move(handler))});
        return ObservationToken(registry_, id);
    }

    std::shared_ptr<Entries> registry_;
};

} // namespace tidemark
