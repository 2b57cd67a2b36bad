#pragma once

#include "platform/linux/FdWatcher.h"
#include "platform/linux/session/ControlProtocol.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tidemark::linux_platform {

// The running app's control socket: a Unix stream socket in the session folder, named like
// the single-instance lock, that carries out one-line requests (ControlProtocol.h) of this
// user's programs. Nothing a peer does can hold up the main queue: every descriptor is
// non-blocking, a peer is read to the length of one request line at most, a peer that sends
// no whole line is dropped after `peerTimeout`, peers of another user at once, and at most
// `maxPeers` wait at a time. An EventSource: an FdWatcher delivers its events.
class ControlServer final : public EventSource {
public:
    using Handler = std::function<void(ControlRequest)>;
    struct Limits {
        std::chrono::milliseconds peerTimeout{1000};
        std::size_t maxPeers = 8;
    };

    // Listens at `path`, replacing a socket an app that died left there: call it while
    // holding the display's single-instance lock. Nothing, with one line in `error`, when the
    // socket cannot be made. `handler` runs on the main queue, before the reply is sent.
    static std::unique_ptr<ControlServer> listen(const std::filesystem::path& path, Handler handler,
                                                 std::string& error, Limits limits);
    static std::unique_ptr<ControlServer> listen(const std::filesystem::path& path, Handler handler,
                                                 std::string& error) {
        return listen(path, std::move(handler), error, Limits{});
    }
    // Closes every connection and removes the socket.
    ~ControlServer() override;
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    std::vector<int> eventFds() override;
    void dispatchEvents() override;

private:
    using Clock = std::chrono::steady_clock;
    struct Peer {
        int fd = -1;
        std::string received;
        Clock::time_point deadline;
    };
    ControlServer(std::filesystem::path path, int listenFd, int timerFd, Handler handler,
                  Limits limits);
    void acceptPeers();
    // False once the peer is answered or gone.
    bool readFrom(Peer& peer);
    void wakeAtNextDeadline();

    std::filesystem::path path_;
    int listenFd_ = -1;
    int timerFd_ = -1;
    Handler handler_;
    Limits limits_;
    std::vector<Peer> peers_;
};

} // namespace tidemark::linux_platform
