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
// event. Events posted as a batch are followed by one call to the observers of batch ends.
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

    // Called once after each batch, when its last event has been delivered.
    [[nodiscard]] ObservationToken addBatchEndObserver(std::function<void()> handler) {
        const auto id = registry_->nextId++;
        registry_->entries.push_back(
            {id, std::nullopt, nullptr,
             std::make_shared<const std::function<void()>>(std::move(handler))});
        return ObservationToken(registry_, id);
    }

    void post(const Event& event) const {
        const Key& key = event.*keyMember;
        deliver([&](const Entry& entry) { return entry.matches(key); },
                [&](const Entry& entry) { (*entry.handler)(event); });
    }

    // Events learnt of together: delivered in order, then the observers of batch ends hear
    // once, so that they may answer the batch as a whole. A batch posted while another is
    // being delivered joins it.
    void postBatch(const std::vector<Event>& events) const {
        if (events.empty())
            return;
        {
            // Ends the batch also when a handler throws (the display went away).
            struct Depth {
                std::shared_ptr<Entries> registry;
                explicit Depth(std::shared_ptr<Entries> r) : registry(std::move(r)) {
                    ++registry->batchDepth;
                }
                ~Depth() { --registry->batchDepth; }
            } depth(registry_);
            for (const auto& event : events)
                post(event);
        }
        if (isDeliveringBatch())
            return;
        deliver([](const Entry& entry) { return entry.batchEnd != nullptr; },
                [](const Entry& entry) { (*entry.batchEnd)(); });
    }

    // Whether a batch is being delivered: an observer may leave its answer to the batch's end.
    bool isDeliveringBatch() const { return registry_->batchDepth > 0; }

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
        // Instead of a handler: an observer of batch ends.
        std::shared_ptr<const std::function<void()>> batchEnd = nullptr;

        bool matches(const Key& k) const { return handler && (!key || *key == k); }
    };

    struct Entries final : ObservationToken::Registry {
        std::uint64_t nextId = 1;
        std::vector<Entry> entries;
        int batchDepth = 0;

        void remove(std::uint64_t id) override {
            std::erase_if(entries, [id](const Entry& e) { return e.id == id; });
        }
        bool contains(std::uint64_t id) const {
            return std::any_of(entries.begin(), entries.end(),
                               [id](const Entry& e) { return e.id == id; });
        }
    };

    // Observers may add or remove observers while being notified: deliver to a copy, and
    // skip any that were removed in the meantime.
    template <typename Select, typename Call> void deliver(Select select, Call call) const {
        const auto registry = registry_;
        std::vector<Entry> targets;
        for (const auto& entry : registry->entries)
            if (select(entry))
                targets.push_back(entry);
        for (const auto& entry : targets)
            if (registry->contains(entry.id))
                call(entry);
    }

    ObservationToken add(std::optional<Key> key, Handler handler) {
        const auto id = registry_->nextId++;
        registry_->entries.push_back(
            {id, std::move(key), std::make_shared<const Handler>(std::move(handler))});
        return ObservationToken(registry_, id);
    }

    std::shared_ptr<Entries> registry_;
};

} // namespace tidemark
