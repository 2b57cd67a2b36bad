#pragma once

#include "foundation/MainQueue.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace tidemark::testing {

// A non-blocking pipe whose reading end a queue watches; its handler drains what came.
struct WatchedPipe {
    int fds[2] = {-1, -1};
    std::string read;
    int handled = 0;
    std::unique_ptr<DescriptorWatch> watch;

    WatchedPipe() { [[maybe_unused]] const int made = ::pipe2(fds, O_CLOEXEC | O_NONBLOCK); }
    ~WatchedPipe() {
        watch.reset();
        ::close(fds[0]);
        ::close(fds[1]);
    }
    void watchOn(MainQueue& queue, std::function<void(WatchedPipe&)> after = {}) {
        watch = queue.watchDescriptor(fds[0], DescriptorCondition::Readable,
                                      [this, after = std::move(after)] {
                                          ++handled;
                                          char buffer[16];
                                          ssize_t n;
                                          while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
                                              read.append(buffer, std::size_t(n));
                                          if (after)
                                              after(*this);
                                      });
    }
    void send(const std::string& text) const {
        [[maybe_unused]] const auto written = ::write(fds[1], text.data(), text.size());
    }
};

// A loopback TCP connection: urgent (out-of-band) data is the one priority condition a test
// can raise at will, as a pressure stall trigger raises it.
struct UrgentPair {
    int sender = -1;
    int receiver = -1;
    UrgentPair() {
        const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* raw = reinterpret_cast<sockaddr*>(&address);
        if (::bind(listener, raw, length) == 0 && ::listen(listener, 1) == 0 &&
            ::getsockname(listener, raw, &length) == 0) {
            sender = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (::connect(sender, raw, length) == 0)
                receiver = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        }
        ::close(listener);
    }
    ~UrgentPair() {
        ::close(sender);
        ::close(receiver);
    }
};

// What a queue's descriptor watching must do, served by `serveUntil(done)`: hand each arrival
// to the handler on the queue, and stop for good when the watch goes, also from within its own
// handler. Answers an empty string when it did, else what went wrong.
template <typename Queue, typename Serve>
std::string descriptorWatchingFault(Queue& queue, Serve serveUntil) {
    WatchedPipe kept;
    WatchedPipe ended;
    kept.watchOn(queue);
    ended.watchOn(queue, [](WatchedPipe& pipe) {
        if (pipe.read == "ab")
            pipe.watch.reset();
    });
    if (!kept.watch || !ended.watch)
        return "no watch";
    kept.send("1");
    ended.send("a");
    if (!serveUntil([&] { return kept.read == "1" && ended.read == "a"; }))
        return "first arrivals not handled: '" + kept.read + "' '" + ended.read + "'";
    ended.send("b");
    if (!serveUntil([&] { return ended.read == "ab"; }))
        return "second arrival not handled";
    // The ended pipe is readable again when the kept one is; only the kept one is served.
    ended.send("c");
    kept.send("2");
    if (!serveUntil([&] { return kept.read == "12"; }))
        return "kept watch stopped";
    if (ended.read != "ab" || ended.handled != 2)
        return "ended watch still served: '" + ended.read + "'";

    // Priority data wakes a priority watch; the handler takes it, which ends the condition.
    UrgentPair urgent;
    if (urgent.receiver < 0)
        return "no loopback connection";
    std::string urgentRead;
    const auto priority =
        queue.watchDescriptor(urgent.receiver, DescriptorCondition::Priority, [&] {
            char byte = 0;
            if (::recv(urgent.receiver, &byte, 1, MSG_OOB) == 1)
                urgentRead += byte;
        });
    if (::send(urgent.sender, "!", 1, MSG_OOB) != 1)
        return "no urgent data sent";
    if (!serveUntil([&] { return urgentRead == "!"; }))
        return "priority data not handled";
    return {};
}

} // namespace tidemark::testing
