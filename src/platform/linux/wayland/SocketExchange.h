#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The request sockets of compositors that answer one request per connection (Hyprland, niri)
// and their line-based event streams. Everything is bounded: a compositor that answers
// nothing, too much or garbage costs at most one timeout per request.
namespace tidemark::linux_platform::wayland {

struct ExchangeLimits {
    // For the whole exchange: connecting, writing and reading.
    int timeoutMs = 500;
    std::size_t maxReplyBytes = 64u << 20;
};

enum class ReplyEnd {
    // The compositor closes the connection after its answer (Hyprland).
    Close,
    // The answer is one line (niri).
    Newline,
};

// Sends `request` on a connection of its own to the socket at `path` (whose other end must run
// as this user), reads the answer and closes the connection: a compositor that serves requests
// one at a time is never held. Nothing when it does not answer in time, or answers more than
// the limit.
std::optional<std::string> exchange(const std::string& path, std::string_view request, ReplyEnd end,
                                    ExchangeLimits limits = {});

// A stream of newline-separated events on a connection of its own.
class LineStream {
public:
    // A line longer than this cannot be in step with anything: the stream is taken as ended.
    static constexpr std::size_t kMaxLineBytes = 8u << 20;

    // Connects and sends `request` when there is one; nothing when the socket does not take
    // the connection or the request.
    static std::unique_ptr<LineStream> open(const std::string& path, std::string_view request,
                                            int timeoutMs = 500);
    ~LineStream();
    LineStream(const LineStream&) = delete;
    LineStream& operator=(const LineStream&) = delete;

    int fd() const { return fd_; }
    bool ended() const { return ended_; }
    // Waits up to `timeoutMs` for the next line (the answer to the request); nothing when
    // none came or the stream ended.
    std::optional<std::string> awaitLine(int timeoutMs);
    // The complete lines that have arrived, without their newlines; never blocks.
    std::vector<std::string> takeLines();

private:
    explicit LineStream(int fd) : fd_(fd) {}
    std::optional<std::string> takeLine();

    int fd_ = -1;
    bool ended_ = false;
    std::string buffer_;
};

} // namespace tidemark::linux_platform::wayland
