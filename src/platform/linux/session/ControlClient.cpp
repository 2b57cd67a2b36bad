#include "platform/linux/session/ControlClient.h"

#include "platform/linux/session/ControlProtocol.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

// Closes the descriptor however the exchange ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

bool peerIsOwnUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == ::getuid();
}

} // namespace

ControlAnswer askRunningApp(const std::filesystem::path& socket, std::string_view request,
                            std::chrono::milliseconds timeout) {
    using Kind = ControlAnswer::Kind;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = socket.string();
    if (name.size() >= sizeof address.sun_path)
        return {Kind::NoApp, {}};
    std::memcpy(address.sun_path, name.data(), name.size());
    const Descriptor connection{::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)};
    if (connection.fd < 0)
        return {Kind::NoApp, {}};
    if (::connect(connection.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        // A full backlog is an app too busy to take the connection.
        return {errno == EAGAIN ? Kind::Silent : Kind::NoApp, {}};
    if (!peerIsOwnUser(connection.fd))
        return {Kind::NoApp, {}};
    const std::string line = std::string(request) + "\n";
    if (::send(connection.fd, line.data(), line.size(), MSG_NOSIGNAL) != ssize_t(line.size()))
        return {Kind::Closed, {}};

    std::string received;
    for (;;) {
        if (const auto reply = completeLine(received))
            return {Kind::Answered, std::string(*reply)};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{connection.fd, POLLIN, 0};
        if (received.size() >= kMaxControlLine)
            return {Kind::Answered, received};
        if (left.count() <= 0 || ::poll(&readable, 1, int(left.count())) == 0)
            return {Kind::Silent, {}};
        char buffer[kMaxControlLine];
        const auto n = ::recv(connection.fd, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            return {Kind::Closed, {}};
        if (n > 0)
            received.append(buffer, std::size_t(n));
    }
}

} // namespace tidemark::linux_platform
