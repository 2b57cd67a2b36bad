#include "foundation/EventChannel.h"

#include "foundation/NotificationCenter.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tidemark;

namespace {

enum class Door { Front, Back };

struct Knock {
    Door door;
    int count;
};

using Doors = EventChannel<Knock, &Knock::door>;

} // namespace

TEST(NotificationCenter, DeliversByNameAndForgetsObserversWhoseTokenDied) {
    NotificationCenter center;
    std::vector<std::string> seen;
    auto a = center.addObserver("A", [&](const Notification& n) {
        seen.push_back(n.name + ":" + *n.userInfo.at("k").asString());
    });
    {
        auto b = center.addObserver("A", [&](const Notification&) { seen.push_back("b"); });
        center.post("A", {{"k", Value("1")}});
    }
    center.post("A", {{"k", Value("2")}});
    center.post("B");
    EXPECT_EQ(seen, (std::vector<std::string>{"A:1", "b", "A:2"}));
    EXPECT_EQ(center.observerCount("A"), 1u);
}

TEST(NotificationCenter, AnObserverRemovedDuringDeliveryIsNotCalled) {
    NotificationCenter center;
    ObservationToken second;
    int secondCalls = 0;
    auto first = center.addObserver("X", [&](const Notification&) { second.reset(); });
    second = center.addObserver("X", [&](const Notification&) { ++secondCalls; });
    center.post("X");
    EXPECT_EQ(secondCalls, 0);
}

TEST(EventChannel, ObserversOfEveryEventSeeEachKeyInRegistrationOrderWithTheKeyedOnes) {
    Doors doors;
    std::vector<std::string> seen;
    auto front = doors.addObserver(
        Door::Front, [&](const Knock& k) { seen.push_back("front" + std::to_string(k.count)); });
    auto all = doors.addObserverForAll([&](const Knock& k) {
        seen.push_back(std::string(k.door == Door::Front ? "all-front" : "all-back") +
                       std::to_string(k.count));
    });
    doors.post({Door::Front, 1});
    doors.post({Door::Back, 2});
    EXPECT_EQ(seen, (std::vector<std::string>{"front1", "all-front1", "all-back2"}));
    EXPECT_EQ(doors.observerCount(Door::Front), 1u);
    EXPECT_EQ(doors.observerCount(Door::Back), 0u);

    all.reset();
    doors.post({Door::Back, 3});
    EXPECT_EQ(seen.size(), 3u);
}

TEST(EventChannel, ABatchEndsOnceAfterItsLastEventAndANestedBatchJoinsIt) {
    Doors doors;
    std::vector<std::string> seen;
    auto knocks = doors.addObserverForAll([&](const Knock& k) {
        seen.push_back(std::to_string(k.count) + (doors.isDeliveringBatch() ? "b" : ""));
        // A knock at the back brings a batch of its own while the first is delivered.
        if (k.door == Door::Back)
            doors.postBatch({{Door::Front, k.count * 10}});
    });
    auto ends = doors.addBatchEndObserver(
        [&] { seen.push_back(doors.isDeliveringBatch() ? "end-inside" : "end"); });
    doors.postBatch({{Door::Front, 1}, {Door::Back, 2}, {Door::Front, 3}});
    EXPECT_EQ(seen, (std::vector<std::string>{"1b", "2b", "20b", "3b", "end"}));

    // A single post and an empty batch end no batch.
    seen.clear();
    doors.post({Door::Front, 4});
    doors.postBatch({});
    EXPECT_EQ(seen, std::vector<std::string>{"4"});

    ends.reset();
    seen.clear();
    doors.postBatch({{Door::Front, 5}});
    EXPECT_EQ(seen, std::vector<std::string>{"5b"});
    EXPECT_FALSE(doors.isDeliveringBatch());

    // A handler that throws ends the batch all the same.
    auto thrower = doors.addObserver(Door::Front, [](const Knock& k) {
        if (k.count == 6)
            throw std::runtime_error("gone");
    });
    EXPECT_THROW(doors.postBatch({{Door::Front, 6}}), std::runtime_error);
    EXPECT_FALSE(doors.isDeliveringBatch());
}

TEST(EventChannel, ATokenThatOutlivesItsChannelLetsGoQuietly) {
    ObservationToken token;
    {
        Doors doors;
        token = doors.addObserverForAll([](const Knock&) {});
    }
    token.reset();
    ObservationToken moved = std::move(token);
    moved.reset();
    SUCCEED();
}
