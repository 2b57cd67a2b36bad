#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace tidemark::linux_platform {

// How a running app answered a request on its control socket (ControlServer.h).
struct ControlAnswer {
    enum class Kind {
        Answered, // `line` holds its reply, without the newline
        NoApp,    // no socket, or nobody listens on it
        Silent,   // connected, but no whole reply line within the time allowed
        Closed,   // the app closed the connection without a whole line
    };
    Kind kind = Kind::NoApp;
    std::string line;
};

// Sends `request` as one line to the app listening at `socket` and waits at most `timeout`
// for its reply line. An app of another user counts as none.
ControlAnswer askRunningApp(const std::filesystem::path& socket, std::string_view request,
                            std::chrono::milliseconds timeout);

} // namespace tidemark::linux_platform
