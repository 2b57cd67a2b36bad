// The byte stream from the i3 socket (whose path any X client can advertise): framing, then
// each reply's JSON through the readers of workspaces, outputs and the tree.
#include "FuzzCheck.h"
#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/x11/DesktopModel.h"

#include <string_view>

using namespace tidemark::linux_platform;

namespace {

// Small enough that the fuzzer reaches the refusal of an absurd length.
constexpr std::size_t kMaxPayloadBytes = 1u << 16;

void readReply(const nlohmann::json& reply, const nlohmann::json& previous) {
    (void)desktop::i3DisplaySpaces(reply, previous);
    (void)desktop::i3DisplaySpaces(previous, reply);
    (void)desktop::i3WindowSpaces(reply);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte sets how the stream arrives: in reads of 1 to 256 bytes.
    const std::size_t chunk = std::size_t{data[0]} + 1;
    std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string buffer;
    nlohmann::json previous;
    while (!stream.empty()) {
        const auto piece = stream.substr(0, chunk);
        stream.remove_prefix(piece.size());
        buffer.append(piece);
        for (;;) {
            auto framed = i3::takeFramedMessage(buffer, kMaxPayloadBytes);
            if (framed.garbage) {
                FUZZ_CHECK(buffer.empty() && !framed.message);
                return 0;
            }
            if (!framed.message)
                break;
            FUZZ_CHECK(framed.message->payload.size() <= kMaxPayloadBytes);
            if (auto reply = i3::parseReplyPayload(framed.message->payload)) {
                readReply(*reply, previous);
                previous = std::move(*reply);
            }
        }
    }
    return 0;
}
