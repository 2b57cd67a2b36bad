#include "platform/linux/session/ControlServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

// A burst of connections is taken in turns, so that the main queue serves other work
// between them.
constexpr int kAcceptsPerDispatch = 32;
constexpr int kBacklog = 8;

bool isOwnUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == ::getuid();
}

} // namespace

std::unique_ptr<ControlServer> ControlServer::listen(const std::filesystem::path& path,
                                                     Handler handler, std::string& error,
                                                     Limits limits) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = path.string();
    if (name.size() >= sizeof address.sun_path) {
        error = "cannot listen on " + name + ": the path is too long for a socket";
        return nullptr;
    }
    std::memcpy(address.sun_path, name.data(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    const auto fail = [&](const char* what) {
        error = std::string(what) + " " + name + ": " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        if (timer >= 0)
            ::close(timer);
        return nullptr;
    };
    if (fd < 0 || timer < 0)
        return fail("cannot make the socket");
    ::unlink(name.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return fail("cannot listen on");
    ::chmod(name.c_str(), 0600);
    if (::listen(fd, kBacklog) != 0) {
        ::unlink(name.c_str());
        return fail("cannot listen on");
    }
    return std::unique_ptr<ControlServer>(
        new ControlServer(path, fd, timer, std::move(handler), limits));
}

ControlServer::ControlServer(std::filesystem::path path, int listenFd, int timerFd, Handler handler,
                             Limits limits)
    : path_(std::move(path)), listenFd_(listenFd), timerFd_(timerFd), handler_(std::move(handler)),
      limits_(limits) {}

ControlServer::~ControlServer() {
    for (const auto& peer : peers_)
        ::close(peer.fd);
    ::close(listenFd_);
    ::close(timerFd_);
    ::unlink(path_.c_str());
}

std::vector<int> ControlServer::eventFds() {
    std::vector<int> fds{listenFd_, timerFd_};
    for (const auto& peer : peers_)
        fds.push_back(peer.fd);
    return fds;
}

void ControlServer::dispatchEvents() {
    std::uint64_t expirations = 0;
    [[maybe_unused]] auto drained = ::read(timerFd_, &expirations, sizeof expirations);
    acceptPeers();
    const auto now = Clock::now();
    std::erase_if(peers_, [&](Peer& peer) {
        if (readFrom(peer) && now < peer.deadline)
            return false;
        ::close(peer.fd);
        return true;
    });
    wakeAtNextDeadline();
}

void ControlServer::acceptPeers() {
    for (int i = 0; i < kAcceptsPerDispatch; ++i) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (!isOwnUser(fd) || peers_.size() >= limits_.maxPeers) {
            ::close(fd);
            continue;
        }
        peers_.push_back({fd, {}, Clock::now() + limits_.peerTimeout});
    }
}

bool ControlServer::readFrom(Peer& peer) {
    RequestVerdict verdict = RequestVerdict::Incomplete;
    while (verdict == RequestVerdict::Incomplete) {
        // judgeRequest refuses a request at kMaxControlLine bytes, so there is always room.
        char buffer[kMaxControlLine];
        const auto n = ::recv(peer.fd, buffer, kMaxControlLine - peer.received.size(), 0);
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        if (n == 0)
            return false; // a peer that closed without a whole line gets no answer
        peer.received.append(buffer, std::size_t(n));
        verdict = judgeRequest(peer.received);
    }
    if (const auto request = requestOf(verdict); request && handler_)
        handler_(*request);
    const auto reply = replyTo(verdict);
    // A reply this short fits into an empty socket buffer; a peer that is gone gets none.
    [[maybe_unused]] auto sent =
        ::send(peer.fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    return false;
}

void ControlServer::wakeAtNextDeadline() {
    itimerspec at{}; // all zero: disarmed
    if (!peers_.empty()) {
        const auto next = std::min_element(peers_.begin(), peers_.end(), [](auto& a, auto& b) {
                              return a.deadline < b.deadline;
                          })->deadline;
        // The steady clock is CLOCK_MONOTONIC, which the timer counts in.
        const auto ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(next.time_since_epoch()).count();
        at.it_value.tv_sec = ns / 1'000'000'000;
        at.it_value.tv_nsec = std::max<long>(ns % 1'000'000'000, 1);
    }
    ::timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &at, nullptr);
}

} // namespace tidemark::linux_platform
