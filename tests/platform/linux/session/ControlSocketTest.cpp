#include "platform/linux/PollMainQueue.h"
#include "platform/linux/session/ControlClient.h"
#include "platform/linux/session/ControlServer.h"
#include "support/TemporaryDirectory.h"

#include <cstring>
#include <future>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

using namespace std::chrono_literals;

sockaddr_un addressOf(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

TEST(ControlProtocol, OneShortLineNamesTheRequest) {
    const std::string tooLong(kMaxControlLine, 'r');
    const struct {
        std::string received;
        RequestVerdict verdict;
    } cases[] = {
        {"", RequestVerdict::Incomplete},
        {"refre", RequestVerdict::Incomplete},
        {"refresh", RequestVerdict::Incomplete},
        {"refresh\n", RequestVerdict::Refresh},
        {"refresh\r\n", RequestVerdict::Refresh},
        {"refresh\nreboot\n", RequestVerdict::Refresh},
        {"Refresh\n", RequestVerdict::Unknown},
        {" refresh\n", RequestVerdict::Unknown},
        {"refresh now\n", RequestVerdict::Unknown},
        {std::string("refresh\0\n", 9), RequestVerdict::Unknown},
        {"\n", RequestVerdict::Unknown},
        {tooLong.substr(1), RequestVerdict::Incomplete},
        {tooLong.substr(1) + "\n", RequestVerdict::Unknown}, // 64 bytes with the newline
        {tooLong, RequestVerdict::TooLong},
        {tooLong + "\n", RequestVerdict::TooLong},
    };
    for (const auto& c : cases)
        EXPECT_EQ(judgeRequest(c.received), c.verdict) << "'" << c.received << "'";
    EXPECT_EQ(replyTo(RequestVerdict::Refresh), "ok\n");
    EXPECT_EQ(replyTo(RequestVerdict::Incomplete), "");
    for (const auto refused : {RequestVerdict::Unknown, RequestVerdict::TooLong}) {
        EXPECT_TRUE(replyTo(refused).starts_with("error: "));
        EXPECT_TRUE(replyTo(refused).ends_with("\n"));
        EXPECT_EQ(requestOf(refused), std::nullopt);
    }
}

// A server in a private folder, dispatched by the test itself: a peer's bytes are in the
// socket when `send` returns, so each dispatch finds what the peers did before it.
struct Server {
    testing::TemporaryDirectory folder;
    std::filesystem::path path = folder.path() / "x11-0.sock";
    int refreshes = 0;
    std::unique_ptr<ControlServer> server;

    explicit Server(ControlServer::Limits limits = {}) {
        std::string error;
        server = ControlServer::listen(
            path, [this](ControlRequest) { ++refreshes; }, error, limits);
        EXPECT_TRUE(server) << error;
    }

    // A connected peer that blocks at most 2 s on a read.
    int connectPeer() const {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const auto address = addressOf(path);
        EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        const timeval bound{2, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
        return fd;
    }
    static void send(int fd, const std::string& bytes) {
        EXPECT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
    }
    // Everything the server sent until it closed the connection.
    static std::string readToEnd(int fd) {
        std::string all;
        char buffer[256];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            all.append(buffer, std::size_t(n));
        // A server that closes with bytes of ours unread resets the connection after its reply.
        EXPECT_TRUE(n == 0 || errno == ECONNRESET) << "the server kept the connection open";
        ::close(fd);
        return all;
    }
    // Whether the server still holds the connection: nothing to read, no end either.
    static bool isOpen(int fd) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 0) == 0;
    }
    // Dispatches whenever one of the server's descriptors turns readable (its timer
    // included) until `done`, for at most 2 s.
    bool serveUntil(const std::function<bool()>& done) const {
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (!done() && std::chrono::steady_clock::now() < end) {
            std::vector<pollfd> fds;
            for (const int fd : server->eventFds())
                fds.push_back({fd, POLLIN, 0});
            ::poll(fds.data(), fds.size(), 100);
            server->dispatchEvents();
        }
        return done();
    }
};

TEST(ControlServer, AnswersAGoodRequestWhateverOtherPeersSendOrWithhold) {
    Server s(ControlServer::Limits{.peerTimeout = 50ms, .maxPeers = 8});
    const int silent = s.connectPeer();
    const int halfLine = s.connectPeer();
    Server::send(halfLine, "refr");
    const int garbage = s.connectPeer();
    Server::send(garbage, "reboot\n");
    const int flood = s.connectPeer();
    Server::send(flood, std::string(4096, 'x'));
    const int good = s.connectPeer();
    Server::send(good, "refresh\n");
    s.server->dispatchEvents();

    EXPECT_EQ(Server::readToEnd(good), "ok\n");
    EXPECT_EQ(s.refreshes, 1);
    EXPECT_EQ(Server::readToEnd(garbage), "error: unknown request (known: refresh)\n");
    EXPECT_EQ(Server::readToEnd(flood), "error: request too long\n");
    EXPECT_TRUE(Server::isOpen(silent));
    EXPECT_TRUE(Server::isOpen(halfLine));

    // The rest of a line in time is a request; a peer that sends nothing is dropped unanswered.
    Server::send(halfLine, "esh\n");
    s.server->dispatchEvents();
    EXPECT_EQ(Server::readToEnd(halfLine), "ok\n");
    EXPECT_TRUE(s.serveUntil([&] { return !Server::isOpen(silent); }));
    EXPECT_EQ(Server::readToEnd(silent), "");
    EXPECT_EQ(s.refreshes, 2);
    EXPECT_EQ(s.server->eventFds().size(), 2u) << "only the socket and the timer are left";
}

TEST(ControlServer, KeepsAtMostItsPeersAndDropsOneThatLeavesMidLine) {
    Server s(ControlServer::Limits{.peerTimeout = 10s, .maxPeers = 2});
    const int first = s.connectPeer();
    const int second = s.connectPeer();
    const int third = s.connectPeer();
    s.server->dispatchEvents();
    EXPECT_EQ(Server::readToEnd(third), "");
    EXPECT_TRUE(Server::isOpen(first));

    Server::send(second, "refresh");
    ::shutdown(second, SHUT_WR);
    s.server->dispatchEvents();
    EXPECT_EQ(Server::readToEnd(second), "");
    EXPECT_EQ(s.refreshes, 0);
    // Its place is free again.
    const int fourth = s.connectPeer();
    Server::send(fourth, "refresh\n");
    s.server->dispatchEvents();
    EXPECT_EQ(Server::readToEnd(fourth), "ok\n");
    ::close(first);
}

TEST(ControlClient, TellsAnAnswerFromNoAppAndFromSilence) {
    Server s;
    {
        // The server served on a main queue, as the app serves it.
        PollMainQueue queue;
        FdWatcher watcher(queue, *s.server);
        auto asked = std::async(std::launch::async, [&] {
            const auto answer = askRunningApp(s.path, "refresh", 2s);
            queue.async([] {}); // wakes the queue to look again
            return answer;
        });
        queue.runUntil([&] { return asked.wait_for(0s) == std::future_status::ready; }, 5);
        const auto answer = asked.get();
        EXPECT_EQ(answer.kind, ControlAnswer::Kind::Answered);
        EXPECT_EQ(answer.line, kOkReply);
        EXPECT_EQ(s.refreshes, 1);
    }
    // The socket goes with the server: then nobody listens.
    const auto path = s.path;
    s.server.reset();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(askRunningApp(path, "refresh", 2s).kind, ControlAnswer::Kind::NoApp);

    // A socket that takes connections and never answers.
    const int mute = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const auto address = addressOf(path);
    ASSERT_EQ(::bind(mute, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(mute, 4), 0);
    EXPECT_EQ(askRunningApp(path, "refresh", 50ms).kind, ControlAnswer::Kind::Silent);
    ::close(mute);
    // Left behind by an app that died.
    EXPECT_EQ(askRunningApp(path, "refresh", 2s).kind, ControlAnswer::Kind::NoApp);
}

} // namespace
} // namespace tidemark::linux_platform
