#include "platform/linux/i3/I3Ipc.h"

#include "support/FakeI3.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace tidemark::linux_platform::i3 {
namespace {

using testing::FakeI3;
using testing::frame;
using testing::socketPath;

TEST(I3EventChange, TheTopLevelChangeWhereverItStands) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {R"({"change":"focus","current":{"nodes":[]}})", "focus"},
        // Read to the end when it comes last; an inner "change" is not the event's.
        {R"({"container":{"change":"new","nodes":[{"a":[1,2.5,null,true]}]},"change":"move"})",
         "move"},
        {R"({"container":{"change":"new"}})", std::nullopt},
        {R"({"change":7})", std::nullopt},
        {R"({"change":)", std::nullopt},
        {"not json", std::nullopt},
        // What follows the change need not be readable.
        {"{\"change\":\"title\",\"container\":{\"name\":\"\xff\xfe\"}}", "title"},
    };
    for (const auto& [payload, change] : cases)
        EXPECT_EQ(eventChange(payload), change) << payload;
}

TEST(I3Connection, RepliesAreMatchedAndEventsSetAside) {
    FakeI3 fake(socketPath());
    fake.serve(frame(0x80000000u, R"({"change":"focus"})") +
               frame(1, R"([{"id":1,"name":"\u00e9"}])"));
    auto connection = Connection::open(fake.path());
    ASSERT_TRUE(connection);
    const auto reply = connection->request(MessageType::GetWorkspaces);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[0]["id"], 1);
    const auto events = connection->readAvailable();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].isEvent());
    EXPECT_EQ(events[0].eventType(), static_cast<std::uint32_t>(EventType::Workspace));
}

TEST(I3Connection, TitlesThatAreNotUtf8DoNotSpoilTheReply) {
    FakeI3 fake(socketPath());
    fake.serve(frame(4, "{\"name\":\"\xff\xfe title\",\"id\":3}"));
    auto connection = Connection::open(fake.path());
    ASSERT_TRUE(connection);
    const auto reply = connection->request(MessageType::GetTree);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)["id"], 3);
}

TEST(I3Connection, GarbageAndOversizedFramesBreakTheConnection) {
    std::string huge = "i3-ipc";
    const std::uint32_t length = 0xfffffff0u, type = 3;
    huge.append(reinterpret_cast<const char*>(&length), 4);
    huge.append(reinterpret_cast<const char*>(&type), 4);
    for (const auto& served : {std::string("not-i3 at all, just bytes"), huge}) {
        FakeI3 fake(socketPath());
        fake.serve(served);
        auto connection = Connection::open(fake.path());
        ASSERT_TRUE(connection);
        EXPECT_FALSE(connection->request(MessageType::GetOutputs)) << served.substr(0, 6);
        EXPECT_TRUE(connection->isBroken());
    }
    EXPECT_FALSE(Connection::open("/nonexistent/socket"));
    EXPECT_FALSE(Connection::open(std::string(200, 'x')));
}

TEST(I3Client, ReconnectsWhenTheOldSocketClosed) {
    FakeI3 fake(socketPath());
    // Each connection answers once and closes, as a restarting i3 does.
    fake.serve(frame(0, R"([{"success":true}])"), 2);
    Client client([&]() -> std::optional<std::string> { return fake.path(); });
    ASSERT_TRUE(client.request(MessageType::RunCommand, "workspace 1"));
    ASSERT_TRUE(client.request(MessageType::RunCommand, "workspace 2"));
    EXPECT_EQ(fake.received.size(), 0u + 2);
    Client nowhere([]() -> std::optional<std::string> { return std::nullopt; });
    EXPECT_FALSE(nowhere.request(MessageType::GetTree));
}

TEST(I3Connection, AWedgedI3IsWaitedForOnceAndItsLateReplyDropped) {
    FakeI3 fake(socketPath());
    std::promise<void> wake;
    std::promise<void> lateReplySent;
    fake.serveWith([&](int client) {
        if (!fake.readRequest(client))
            return;
        // Silent until the client gave up; then the late reply, and an answer to the next
        // request that reaches it.
        wake.get_future().wait();
        const auto late = frame(1, R"(["late"])");
        ::send(client, late.data(), late.size(), MSG_NOSIGNAL);
        lateReplySent.set_value();
        if (fake.readRequest(client)) {
            const auto answer = frame(1, R"(["fresh"])");
            ::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
        }
        // Held open until the client goes.
        char byte;
        (void)::recv(client, &byte, 1, 0);
    });
    Client client([&]() -> std::optional<std::string> { return fake.path(); });
    EXPECT_FALSE(client.request(MessageType::GetWorkspaces, "first"));
    // Still owed a reply: not sent, no second wait, no new connection.
    EXPECT_FALSE(client.request(MessageType::GetWorkspaces, "second"));
    EXPECT_EQ(client.reach(), Reach::Connected);
    wake.set_value();
    // Once the late reply is on its way it is dropped, and the next request answered in step.
    lateReplySent.get_future().wait();
    const auto reply = client.request(MessageType::GetWorkspaces, "third");
    EXPECT_EQ(reply, nlohmann::json::parse(R"(["fresh"])"));
    client = Client([]() -> std::optional<std::string> { return std::nullopt; });
    fake.join();
    EXPECT_EQ(fake.received, (std::vector<std::string>{"first", "third"}));
}

TEST(I3Client, PrefersI3SockAndSaysWhetherI3IsThere) {
    FakeI3 own(socketPath());
    own.serve(frame(4, R"({"id":1})"));
    ::setenv("I3SOCK", own.path().c_str(), 1);
    // The advertised path leads nowhere; i3's own variable does.
    Client client([]() -> std::optional<std::string> { return "/nonexistent/i3.sock"; });
    EXPECT_TRUE(client.request(MessageType::GetTree));
    ::unsetenv("I3SOCK");
    EXPECT_EQ(Client([]() -> std::optional<std::string> { return "/nonexistent/i3.sock"; }).reach(),
              Reach::Unreachable);
    EXPECT_EQ(Client([]() -> std::optional<std::string> { return std::nullopt; }).reach(),
              Reach::NotAdvertised);
}

TEST(I3Peer, OnlyAProcessOfThisUserIsTrusted) {
    EXPECT_TRUE(isTrustedPeer(1000, 1000));
    EXPECT_FALSE(isTrustedPeer(1001, 1000));
    EXPECT_FALSE(isTrustedPeer(0, 1000));
    EXPECT_FALSE(isTrustedPeer(std::nullopt, 1000));
}

} // namespace
} // namespace tidemark::linux_platform::i3
