#include "platform/linux/wayland/SocketExchange.h"

#include "platform/linux/wayland/HyprlandCompositor.h"
#include "platform/linux/wayland/NiriCompositor.h"
#include "support/FakeI3.h"

#include <gtest/gtest.h>
#include <poll.h>

namespace tidemark::linux_platform::wayland {
namespace {

using testing::FakeI3;

// What a client wrote before it waits for an answer (requests here are short).
std::string request(int client) {
    char bytes[4096];
    const auto n = ::recv(client, bytes, sizeof bytes, 0);
    return n > 0 ? std::string(bytes, static_cast<std::size_t>(n)) : std::string();
}

void send(int client, const std::string& bytes) {
    ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

// Held open until the client goes.
void holdOpen(int client) {
    char byte;
    while (::recv(client, &byte, 1, 0) > 0) {
    }
}

// Every line of `stream` until it ends or nothing comes for a while.
std::vector<std::string> linesUntilEnd(LineStream& stream) {
    std::vector<std::string> lines;
    pollfd readable{stream.fd(), POLLIN, 0};
    do
        for (auto& line : stream.takeLines())
            lines.push_back(std::move(line));
    while (!stream.ended() && ::poll(&readable, 1, 5000) > 0);
    return lines;
}

// One request a connection: read to the end or to the first line; a compositor that says
// nothing, or more than any answer holds, is no answer within the time given.
TEST(SocketExchange, AnswersToTheEndOrTheFirstLineAndNoneFromSilenceOrFloods) {
    FakeI3 fake(testing::socketPath());
    std::vector<std::string> requests;
    int connection = 0;
    fake.serveWith(
        [&](int client) {
            requests.push_back(request(client));
            switch (connection++) {
            case 0:
                send(client, "first\nsecond");
                return;
            case 1:
                send(client, "one line\nand more");
                return holdOpen(client);
            case 2:
                return holdOpen(client);
            default:
                send(client, std::string(2u << 20, 'x'));
                return holdOpen(client);
            }
        },
        4);
    EXPECT_EQ(exchange(fake.path(), "j/monitors", ReplyEnd::Close), "first\nsecond");
    EXPECT_EQ(exchange(fake.path(), "\"Windows\"\n", ReplyEnd::Newline), "one line");
    EXPECT_EQ(exchange(fake.path(), "j/clients", ReplyEnd::Close, {.timeoutMs = 100}),
              std::nullopt);
    EXPECT_EQ(exchange(fake.path(), "j/clients", ReplyEnd::Close, {.maxReplyBytes = 1u << 20}),
              std::nullopt);
    fake.join();
    EXPECT_EQ(requests,
              (std::vector<std::string>{"j/monitors", "\"Windows\"\n", "j/clients", "j/clients"}));
    EXPECT_EQ(exchange("/nonexistent/hypr.sock", "j/monitors", ReplyEnd::Close), std::nullopt);
}

TEST(SocketExchange, LineStreamsJoinPiecesAndEndAtTheEndOrAnEndlessLine) {
    FakeI3 fake(testing::socketPath());
    int connection = 0;
    fake.serveWith(
        [&](int client) {
            if (connection++ == 0) {
                EXPECT_EQ(request(client), "\"EventStream\"\n");
                send(client, "{\"Ok\":\"Handled\"}\n{\"A\"");
                send(client, ":1}\n{\"B\":2}\n");
                return;
            }
            send(client, std::string(LineStream::kMaxLineBytes + 2, 'x'));
            holdOpen(client);
        },
        2);
    auto stream = LineStream::open(fake.path(), "\"EventStream\"\n");
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->awaitLine(5000), "{\"Ok\":\"Handled\"}");
    EXPECT_EQ(linesUntilEnd(*stream), (std::vector<std::string>{"{\"A\":1}", "{\"B\":2}"}));
    EXPECT_TRUE(stream->ended());

    auto endless = LineStream::open(fake.path(), {});
    ASSERT_TRUE(endless);
    EXPECT_TRUE(linesUntilEnd(*endless).empty());
    EXPECT_TRUE(endless->ended());
    endless.reset();
    fake.join();
}

TEST(HyprlandCompositor, ReadsSwitchesAndFollowsOverItsTwoSockets) {
    FakeI3 requests(testing::socketPath());
    FakeI3 events(testing::socketPath() + "-events");
    std::vector<std::string> asked;
    requests.serveWith(
        [&](int client) {
            const auto what = request(client);
            asked.push_back(what);
            if (what == "j/monitors")
                send(client, R"([{"name": "DP-1", "activeWorkspace": {"id": 1}}])");
            else if (what == "j/workspaces")
                send(client, R"([{"id": 1, "name": "1", "monitor": "DP-1"},
                                 {"id": -1338, "name": "mail", "monitor": "DP-1"}])");
            else if (what.starts_with("dispatch"))
                send(client, "ok");
        },
        4);
    events.serveWith([&](int client) {
        send(client, "activewindowv2>>55d0\nworkspacev2>>1,1\n");
        holdOpen(client);
    });
    HyprlandCompositor hyprland({requests.path(), events.path()});
    const auto outputs = hyprland.readOutputs();
    ASSERT_TRUE(outputs);
    ASSERT_EQ(outputs->size(), 1u);
    EXPECT_EQ(outputs->at(0).workspaces.size(), 2u);
    EXPECT_TRUE(hyprland.focusWorkspace(-1338));
    requests.join();
    EXPECT_EQ(asked, (std::vector<std::string>{"j/monitors", "j/workspaces", "j/workspaces",
                                               "dispatch workspace name:mail"}));

    auto stream = hyprland.subscribe();
    ASSERT_TRUE(stream);
    TableChanges seen;
    pollfd readable{stream->fd(), POLLIN, 0};
    while (!(seen.windows && seen.workspaces) && ::poll(&readable, 1, 5000) > 0)
        seen |= stream->take();
    EXPECT_TRUE(seen.windows && seen.workspaces);
    stream.reset();
    events.join();
}

TEST(NiriCompositor, ReadsSwitchesAndFollowsOneRequestAConnection) {
    FakeI3 niri(testing::socketPath());
    std::vector<std::string> asked;
    niri.serveWith(
        [&](int client) {
            const auto what = request(client);
            asked.push_back(what);
            if (what == "\"Windows\"\n") {
                send(client, R"({"Ok":{"Windows":[{"id":7,"app_id":"foot","pid":70,)"
                             R"("workspace_id":3,"is_focused":true}]}})"
                             "\n");
            } else if (what == "\"EventStream\"\n") {
                send(client, "{\"Ok\":\"Handled\"}\n{\"WorkspaceActivated\":{\"id\":3}}\n");
                holdOpen(client);
            } else if (what.starts_with("{\"Action\"")) {
                send(client, "{\"Err\":\"no such workspace\"}\n");
            }
        },
        3);
    NiriCompositor compositor(niri.path());
    const auto windows = compositor.readWindows();
    ASSERT_TRUE(windows);
    EXPECT_EQ(*windows,
              (Windows{{.id = 7, .pid = 70, .appId = "foot", .workspace = 3, .focused = true}}));
    EXPECT_FALSE(compositor.focusWorkspace(9));
    auto stream = compositor.subscribe();
    ASSERT_TRUE(stream);
    // The first event came with the answer: it is there without waiting.
    EXPECT_TRUE(stream->take().workspaces);
    stream.reset();
    niri.join();
    EXPECT_EQ(asked[1], R"({"Action":{"FocusWorkspace":{"reference":{"Id":9}}}})"
                        "\n");
}

} // namespace
} // namespace tidemark::linux_platform::wayland
