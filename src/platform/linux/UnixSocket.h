#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

// The socket calls the window managers' IPC clients share.
namespace tidemark::linux_platform::unix_socket {

using Clock = std::chrono::steady_clock;

// A non-blocking connection to the stream socket at `path`, or -1. A socket any program may
// have put there is spoken to only when its other end runs as this user.
int connectOwn(const std::string& path);

// Writes all of `bytes` by `deadline`; false when it could not.
bool sendAll(int fd, std::string_view bytes, Clock::time_point deadline);

enum class ReadResult { Data, Nothing, End };
// Appends what has arrived to `buffer`, first waiting until `deadline` for anything to come
// (not at all for a deadline in the past). End: the stream ended or failed.
ReadResult readSome(int fd, std::string& buffer, Clock::time_point deadline);

} // namespace tidemark::linux_platform::unix_socket
