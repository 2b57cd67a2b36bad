#include "platform/linux/UnixSocket.h"

#include "platform/linux/i3/I3Ipc.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tidemark::linux_platform::unix_socket {

namespace {

int millisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

int connectOwn(const std::string& path) {
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    ucred peer{};
    socklen_t peerSize = sizeof peer;
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    const bool knowsPeer = connected &&
                           ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &peerSize) == 0 &&
                           peerSize == sizeof peer;
    if (!connected ||
        !i3::isTrustedPeer(knowsPeer ? std::optional<std::uint32_t>(peer.uid) : std::nullopt,
                           ::getuid())) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, std::string_view bytes, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const auto n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            if (Clock::now() > deadline ||
                ::poll(&p, 1, std::min(100, millisecondsUntil(deadline))) < 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

ReadResult readSome(int fd, std::string& buffer, Clock::time_point deadline) {
    if (const int wait = millisecondsUntil(deadline); wait > 0) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, wait) == 0)
            return ReadResult::Nothing;
    }
    char chunk[65536];
    bool gotData = false;
    for (;;) {
        const auto n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            buffer.append(chunk, static_cast<std::size_t>(n));
            gotData = true;
            // A flood is read in pieces: the caller bounds what it keeps.
            if (buffer.size() >= (1u << 20))
                return ReadResult::Data;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return gotData ? ReadResult::Data : ReadResult::Nothing;
        // The end: what came before it is still handed over first.
        return gotData ? ReadResult::Data : ReadResult::End;
    }
}

} // namespace tidemark::linux_platform::unix_socket
