#include "platform/linux/wayland/SwayCompositor.h"

#include "support/FakeI3.h"

#include <gtest/gtest.h>
#include <poll.h>

namespace tidemark::linux_platform::wayland {
namespace {

using testing::FakeI3;
using testing::frame;

constexpr std::uint32_t kEvent = 0x80000000u;

void send(int client, const std::string& bytes) {
    ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

// sway before 1.8 refuses output events, and with them the whole subscription: the stream
// is asked for again without them. Its events then say what changed, until it sends what
// cannot be read.
TEST(SwayCompositor, SubscribesWithoutOutputEventsWhereRefusedAndFollowsTheStream) {
    FakeI3 fake(testing::socketPath());
    fake.serveWith([&](int client) {
        if (!fake.readRequest(client))
            return;
        send(client, frame(2, R"({"success": false})"));
        if (!fake.readRequest(client))
            return;
        send(client, frame(2, R"({"success": true})"));
        send(client, frame(kEvent | 3, R"({"change": "title", "container": {}})") +
                         frame(kEvent | 0, R"({"change": "focus"})") +
                         frame(kEvent | 3, R"({"change": "new", "container": {}})") +
                         "nonsense that is no frame");
        char byte;
        (void)::recv(client, &byte, 1, 0);
    });
    SwayCompositor sway(fake.path());
    auto events = sway.subscribe();
    ASSERT_TRUE(events);
    TableChanges seen;
    pollfd readable{events->fd(), POLLIN, 0};
    // What came with the subscription's answer is already read: taken before waiting.
    do
        seen |= events->take();
    while (!events->ended() && ::poll(&readable, 1, 5000) > 0);
    EXPECT_TRUE(events->ended());
    EXPECT_TRUE(seen.workspaces);
    EXPECT_TRUE(seen.windows);
    EXPECT_FALSE(seen.outputs);
    events.reset();
    fake.join();
    EXPECT_EQ(fake.received,
              (std::vector<std::string>{R"(["workspace","output","window","shutdown"])",
                                        R"(["workspace","window","shutdown"])"}));
}

TEST(SwayCompositor, SwitchesByTheWorkspacesNameAndClosesByContainer) {
    FakeI3 fake(testing::socketPath());
    fake.serveWith([&](int client) {
        if (fake.readRequest(client))
            send(client, frame(1, R"([{"id": 11, "num": 2, "name": "2:\"mail\""}])"));
        for (int i = 0; i < 2; ++i)
            if (fake.readRequest(client))
                send(client, frame(0, R"([{"success": true}])"));
    });
    SwayCompositor sway(fake.path());
    EXPECT_TRUE(sway.focusWorkspace(11));
    EXPECT_TRUE(sway.closeWindow(12));
    fake.join();
    EXPECT_EQ(fake.received,
              (std::vector<std::string>{"", R"(workspace --no-auto-back-and-forth "2:\"mail\"")",
                                        "[con_id=12] kill"}));
}

// A sway that takes the connection and then says nothing, or sends more than any answer
// holds: each question gives up within the reply timeout, and nothing is read.
TEST(SwayCompositor, SilenceAndFloodsAreNoAnswer) {
    std::string flood = "i3-ipc";
    const std::uint32_t length = 0xfffffff0u, type = 3;
    flood.append(reinterpret_cast<const char*>(&length), 4);
    flood.append(reinterpret_cast<const char*>(&type), 4);
    for (const auto& served : {std::string(), flood}) {
        FakeI3 fake(testing::socketPath());
        fake.serveWith([&](int client) {
            if (fake.readRequest(client) && !served.empty())
                send(client, served);
            char byte;
            (void)::recv(client, &byte, 1, 0);
        });
        {
            SwayCompositor sway(fake.path());
            EXPECT_FALSE(sway.readOutputs());
        }
        fake.join();
    }
    EXPECT_FALSE(SwayCompositor("/nonexistent/sway.sock").isReachable());
}

} // namespace
} // namespace tidemark::linux_platform::wayland
