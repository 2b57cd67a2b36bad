#include "platform/linux/session/ControlProtocol.h"

namespace tidemark::linux_platform {

std::optional<std::string_view> completeLine(std::string_view received) {
    const auto newline = received.find('\n');
    if (newline == std::string_view::npos)
        return std::nullopt;
    auto line = received.substr(0, newline);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

RequestVerdict judgeRequest(std::string_view received) {
    const auto line = completeLine(received.substr(0, kMaxControlLine));
    if (!line)
        return received.size() < kMaxControlLine ? RequestVerdict::Incomplete
                                                 : RequestVerdict::TooLong;
    return *line == "refresh" ? RequestVerdict::Refresh : RequestVerdict::Unknown;
}

std::optional<ControlRequest> requestOf(RequestVerdict verdict) {
    if (verdict == RequestVerdict::Refresh)
        return ControlRequest::Refresh;
    return std::nullopt;
}

std::string_view replyTo(RequestVerdict verdict) {
    switch (verdict) {
    case RequestVerdict::Incomplete:
        return {};
    case RequestVerdict::Refresh:
        return "ok\n";
    case RequestVerdict::Unknown:
        return "error: unknown request (known: refresh)\n";
    case RequestVerdict::TooLong:
        return "error: request too long\n";
    }
    return {};
}

} // namespace tidemark::linux_platform
