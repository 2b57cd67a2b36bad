#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tidemark::linux_platform {

// What a running app's control socket is asked: one line, answered by one line, after which
// the app closes the connection. Requests come from this user's programs (`tidemark
// refresh`, a key binding of the window manager), but are read as untrusted bytes.

enum class ControlRequest { Refresh };

// A request line with its newline is at most this long; more is refused unread.
inline constexpr std::size_t kMaxControlLine = 64;

// What the bytes a peer sent so far ask for.
enum class RequestVerdict {
    Incomplete, // no newline yet, and still short enough
    Refresh,
    Unknown,
    TooLong,
};

// The first line of `received` without its newline (and a carriage return before it), once
// the newline has arrived; nothing before.
std::optional<std::string_view> completeLine(std::string_view received);

// Judges the start of a peer's stream: "refresh" is the one request; bytes after the first
// line are never read.
RequestVerdict judgeRequest(std::string_view received);

// The request a verdict names; nothing for the others.
std::optional<ControlRequest> requestOf(RequestVerdict verdict);

// The line the app sends back, with its newline: "ok" for a request it carried out, an
// error that says why for the others; empty while the request is incomplete.
std::string_view replyTo(RequestVerdict verdict);

// The reply that means the request was carried out, without its newline.
inline constexpr std::string_view kOkReply = "ok";

} // namespace tidemark::linux_platform
