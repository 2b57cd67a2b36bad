#include "platform/linux/i3/I3Ipc.h"

#include "foundation/Text.h"
#include "platform/linux/UnixSocket.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tidemark::linux_platform::i3 {

namespace {

constexpr std::string_view kMagic = "i3-ipc";
constexpr std::size_t kHeaderBytes = kMagic.size() + 8;

std::uint32_t readU32(const char* bytes) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

} // namespace

Framed takeFramedMessage(std::string& buffer, std::size_t maxPayloadBytes) {
    if (buffer.size() < kHeaderBytes)
        return {};
    const auto length = readU32(buffer.data() + kMagic.size());
    const auto type = readU32(buffer.data() + kMagic.size() + 4);
    if (std::string_view(buffer).substr(0, kMagic.size()) != kMagic || length > maxPayloadBytes) {
        buffer.clear();
        return {.message = std::nullopt, .garbage = true};
    }
    if (buffer.size() - kHeaderBytes < length)
        return {};
    Message message{type, buffer.substr(kHeaderBytes, length)};
    buffer.erase(0, kHeaderBytes + length);
    return {.message = std::move(message)};
}

std::optional<nlohmann::json> parseReplyPayload(std::string_view payload, KeptMembers kept) {
    using json = nlohmann::json;
    json::parser_callback_t keep;
    if (!kept.empty())
        keep = [kept](int, json::parse_event_t event, json& parsed) {
            if (event != json::parse_event_t::key)
                return true;
            const auto& name = parsed.get_ref<const std::string&>();
            return std::find(kept.begin(), kept.end(), name) != kept.end();
        };
    // i3 copies window titles into its replies byte for byte; one title that is not UTF-8
    // must not cost the whole tree.
    auto answer = json::parse(payload, keep, false);
    if (answer.is_discarded())
        answer = json::parse(text::repairUtf8(payload), keep, false);
    if (answer.is_discarded())
        return std::nullopt;
    return answer;
}

namespace {

// Reads up to the top-level "change" value and stops there.
class ChangeReader final : public nlohmann::json::json_sax_t {
public:
    std::optional<std::string> change;

    bool key(string_t& name) override {
        wantValue_ = depth_ == 1 && name == "change";
        return true;
    }
    bool string(string_t& value) override {
        if (!wantValue_)
            return true;
        change = std::move(value);
        return false;
    }
    bool start_object(std::size_t) override { return enter(); }
    bool start_array(std::size_t) override { return enter(); }
    bool end_object() override { return leave(); }
    bool end_array() override { return leave(); }
    bool null() override { return scalar(); }
    bool boolean(bool) override { return scalar(); }
    bool number_integer(number_integer_t) override { return scalar(); }
    bool number_unsigned(number_unsigned_t) override { return scalar(); }
    bool number_float(number_float_t, const string_t&) override { return scalar(); }
    bool binary(binary_t&) override { return scalar(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    bool enter() {
        wantValue_ = false;
        ++depth_;
        return true;
    }
    bool leave() {
        --depth_;
        return true;
    }
    bool scalar() {
        wantValue_ = false;
        return true;
    }

    int depth_ = 0;
    bool wantValue_ = false;
};

} // namespace

std::optional<std::string> eventChange(std::string_view payload) {
    ChangeReader reader;
    nlohmann::json::sax_parse(payload, &reader, nlohmann::json::input_format_t::json, true);
    return std::move(reader.change);
}

bool isTrustedPeer(std::optional<std::uint32_t> peerUid, std::uint32_t ownUid) {
    return peerUid == ownUid;
}

std::unique_ptr<Connection> Connection::open(const std::string& socketPath) {
    const int fd = unix_socket::connectOwn(socketPath);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<Connection>(new Connection(fd));
}

Connection::~Connection() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool Connection::sendMessage(MessageType type, std::string_view payload) {
    std::string message(kMagic);
    const auto length = static_cast<std::uint32_t>(payload.size());
    const auto kind = static_cast<std::uint32_t>(type);
    message.append(reinterpret_cast<const char*>(&length), sizeof length);
    message.append(reinterpret_cast<const char*>(&kind), sizeof kind);
    message.append(payload);
    if (!unix_socket::sendAll(
            fd_, message, unix_socket::Clock::now() + std::chrono::milliseconds(kReplyTimeoutMs)))
        broken_ = true;
    return !broken_;
}

bool Connection::fillBuffer(int timeoutMs) {
    if (timeoutMs > 0) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
    }
    char chunk[65536];
    bool gotData = false;
    for (;;) {
        const auto n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n > 0) {
            buffer_.append(chunk, static_cast<std::size_t>(n));
            gotData = true;
            continue;
        }
        if (n == 0) {
            broken_ = true;
        } else if (errno == EINTR) {
            continue;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
            broken_ = true;
        }
        return gotData;
    }
}

std::optional<Message> Connection::takeMessage() {
    auto framed = takeFramedMessage(buffer_, kMaxPayloadBytes);
    if (framed.garbage)
        broken_ = true;
    return std::move(framed.message);
}

bool Connection::catchUp() {
    if (!broken_)
        fillBuffer(0);
    while (owedReplies_ > 0) {
        auto message = takeMessage();
        if (!message)
            break;
        if (message->isEvent())
            setAside_.push_back(std::move(*message));
        else
            --owedReplies_;
    }
    return owedReplies_ == 0;
}

std::optional<nlohmann::json> Connection::request(MessageType type, std::string_view payload,
                                                  KeptMembers kept) {
    // i3 answers in order: one that still owes a reply is wedged or far behind, and a new
    // request would only queue behind it.
    if (broken_ || (owedReplies_ > 0 && !catchUp()) || !sendMessage(type, payload))
        return std::nullopt;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    for (;;) {
        while (auto message = takeMessage()) {
            if (message->isEvent()) {
                setAside_.push_back(std::move(*message));
                continue;
            }
            if (message->type != static_cast<std::uint32_t>(type))
                continue;
            return parseReplyPayload(message->payload, kept);
        }
        if (broken_)
            return std::nullopt;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            ++owedReplies_;
            return std::nullopt;
        }
        fillBuffer(static_cast<int>(left));
    }
}

std::vector<Message> Connection::readAvailable() {
    std::vector<Message> result = std::move(setAside_);
    setAside_.clear();
    if (!broken_)
        fillBuffer(0);
    while (auto message = takeMessage())
        result.push_back(std::move(*message));
    return result;
}

std::unique_ptr<Connection> connectToI3(const std::string& advertisedPath) {
    if (const char* own = std::getenv("I3SOCK"); own && *own)
        if (auto connection = Connection::open(own))
            return connection;
    return Connection::open(advertisedPath);
}

Connection* Client::connection() {
    reach();
    return connection_.get();
}

Reach Client::reach() {
    if (connection_ && !connection_->isBroken())
        return Reach::Connected;
    connection_.reset();
    const auto advertised = advertisedPath_();
    if (!advertised)
        return Reach::NotAdvertised;
    connection_ = connect_(*advertised);
    return connection_ ? Reach::Connected : Reach::Unreachable;
}

std::optional<nlohmann::json> Client::request(MessageType type, std::string_view payload,
                                              KeptMembers kept) {
    // A restarted i3 closes the old socket; one fresh attempt picks the new one up.
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto* conn = connection();
        if (!conn)
            return std::nullopt;
        if (auto reply = conn->request(type, payload, kept))
            return reply;
        if (!conn->isBroken())
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace tidemark::linux_platform::i3
