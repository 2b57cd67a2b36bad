// A request on the running app's control socket, as another program of this user sends it,
// in the pieces the socket delivers: the first byte sets the piece length.
#include "FuzzCheck.h"
#include "platform/linux/session/ControlProtocol.h"

#include <algorithm>
#include <string>

using namespace tidemark::linux_platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t piece = std::max<std::size_t>(data[0] % 16, 1);
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    // As the server reads: never beyond the line's limit, and no more once judged.
    std::string received;
    RequestVerdict verdict = RequestVerdict::Incomplete;
    for (std::size_t at = 0; at < stream.size() && verdict == RequestVerdict::Incomplete;
         at += piece) {
        const auto room = kMaxControlLine - received.size();
        received.append(stream.substr(at, std::min(piece, room)));
        verdict = judgeRequest(received);
    }
    FUZZ_CHECK(received.size() <= kMaxControlLine);
    const bool whole = received.find('\n') != std::string::npos;
    FUZZ_CHECK((verdict == RequestVerdict::Incomplete) ==
               (!whole && received.size() < kMaxControlLine));
    FUZZ_CHECK((verdict == RequestVerdict::TooLong) ==
               (!whole && received.size() == kMaxControlLine));
    if (verdict == RequestVerdict::Refresh)
        FUZZ_CHECK(received.starts_with("refresh\n") || received.starts_with("refresh\r\n"));
    FUZZ_CHECK(replyTo(verdict).empty() == (verdict == RequestVerdict::Incomplete));
    return 0;
}
