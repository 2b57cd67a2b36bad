#include "platform/linux/wayland/SocketExchange.h"

#include "platform/linux/UnixSocket.h"

#include <unistd.h>

namespace tidemark::linux_platform::wayland {

namespace {

using unix_socket::Clock;
using unix_socket::ReadResult;

} // namespace

std::optional<std::string> exchange(const std::string& path, std::string_view request, ReplyEnd end,
                                    ExchangeLimits limits) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(limits.timeoutMs);
    const int fd = unix_socket::connectOwn(path);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> answer;
    if (unix_socket::sendAll(fd, request, deadline)) {
        std::string buffer;
        for (;;) {
            const auto read = unix_socket::readSome(fd, buffer, deadline);
            if (buffer.size() > limits.maxReplyBytes)
                break;
            if (end == ReplyEnd::Newline)
                if (const auto newline = buffer.find('\n'); newline != std::string::npos) {
                    answer = buffer.substr(0, newline);
                    break;
                }
            if (read == ReadResult::End) {
                if (end == ReplyEnd::Close)
                    answer = std::move(buffer);
                break;
            }
            if (read == ReadResult::Nothing && Clock::now() >= deadline)
                break;
        }
    }
    ::close(fd);
    return answer;
}

std::unique_ptr<LineStream> LineStream::open(const std::string& path, std::string_view request,
                                             int timeoutMs) {
    const int fd = unix_socket::connectOwn(path);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<LineStream> stream(new LineStream(fd));
    if (!request.empty() &&
        !unix_socket::sendAll(fd, request, Clock::now() + std::chrono::milliseconds(timeoutMs)))
        return nullptr;
    return stream;
}

LineStream::~LineStream() {
    ::close(fd_);
}

std::optional<std::string> LineStream::takeLine() {
    const auto newline = buffer_.find('\n');
    if (newline == std::string::npos) {
        if (buffer_.size() > kMaxLineBytes) {
            ended_ = true;
            buffer_.clear();
        }
        return std::nullopt;
    }
    auto line = buffer_.substr(0, newline);
    buffer_.erase(0, newline + 1);
    return line;
}

std::optional<std::string> LineStream::awaitLine(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (auto line = takeLine())
            return line;
        if (ended_)
            return std::nullopt;
        const auto read = unix_socket::readSome(fd_, buffer_, deadline);
        if (read == ReadResult::End)
            ended_ = true;
        else if (read == ReadResult::Nothing && Clock::now() >= deadline)
            return std::nullopt;
    }
}

std::vector<std::string> LineStream::takeLines() {
    std::vector<std::string> lines;
    // A compositor that never stops sending is read in turns: the rest waits for the next.
    std::size_t taken = 0;
    for (;;) {
        while (auto line = takeLine()) {
            taken += line->size() + 1;
            lines.push_back(std::move(*line));
        }
        if (ended_ || taken > kMaxLineBytes)
            break;
        const auto read = unix_socket::readSome(fd_, buffer_, Clock::time_point{});
        if (read == ReadResult::End)
            ended_ = true;
        else if (read == ReadResult::Nothing)
            break;
    }
    return lines;
}

} // namespace tidemark::linux_platform::wayland
