#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::linux_platform::i3 {

enum class MessageType : std::uint32_t {
    RunCommand = 0,
    GetWorkspaces = 1,
    Subscribe = 2,
    GetOutputs = 3,
    GetTree = 4,
    GetVersion = 7,
    GetConfig = 9,
};

// Event types carry the high bit on the wire; these are the values without it.
enum class EventType : std::uint32_t {
    Workspace = 0,
    Output = 1,
    Window = 3,
    Shutdown = 6,
};

struct Message {
    std::uint32_t type = 0;
    std::string payload;

    bool isEvent() const { return (type & 0x80000000u) != 0; }
    std::uint32_t eventType() const { return type & 0x7fffffffu; }
};

// Framing of the byte stream from i3: takes the first complete message off the front of
// `buffer`. `garbage` means the stream cannot be in step again (bad magic, absurd length);
// the buffer is then emptied.
struct Framed {
    std::optional<Message> message;
    bool garbage = false;
};
Framed takeFramedMessage(std::string& buffer, std::size_t maxPayloadBytes);

// A reply payload as JSON; nothing when it is not JSON even after repairing its UTF-8.
// The member names a reader of an answer uses. Every other member, at any depth, is dropped
// while parsing, which spares building what nobody reads (most of a tree answer: geometry,
// titles, properties). Empty: every member is kept.
using KeptMembers = std::span<const std::string_view>;

std::optional<nlohmann::json> parseReplyPayload(std::string_view payload, KeptMembers kept = {});

// The top-level "change" of an event payload ("focus", "new", …), read without building the
// rest: a workspace event carries two whole workspace trees. Nothing when it is absent, not
// a string, or the payload is not JSON up to it.
std::optional<std::string> eventChange(std::string_view payload);

// The socket path and its owner come from a root window property that any X client may set:
// only a socket whose other end runs as this user is spoken to.
bool isTrustedPeer(std::optional<std::uint32_t> peerUid, std::uint32_t ownUid);

// One IPC socket to i3. Replies are waited for at most `kReplyTimeout`, and a wedged window
// manager is waited for once: while a reply is still owed, requests fail at once without
// being sent, and the owed replies are dropped when they come.
class Connection {
public:
    static constexpr std::size_t kMaxPayloadBytes = 64u << 20;
    // Requests are made on the main thread; short enough not to freeze the strip, long
    // enough for a busy i3.
    static constexpr int kReplyTimeoutMs = 500;

    // Nothing when the socket does not answer or is not this user's.
    static std::unique_ptr<Connection> open(const std::string& socketPath);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int fd() const { return fd_; }
    bool isBroken() const { return broken_; }

    // Sends a message and waits for its reply, setting events that arrive meanwhile aside.
    std::optional<nlohmann::json> request(MessageType type, std::string_view payload = {},
                                          KeptMembers kept = {});
    // Reads what has arrived without blocking; complete messages in order. Marks the
    // connection broken at end of stream or on garbage.
    std::vector<Message> readAvailable();

private:
    explicit Connection(int fd) : fd_(fd) {}
    bool sendMessage(MessageType type, std::string_view payload);
    std::optional<Message> takeMessage();
    bool fillBuffer(int timeoutMs);
    // Takes what has arrived, dropping owed replies; whether none is owed any more.
    bool catchUp();

    int fd_ = -1;
    bool broken_ = false;
    int owedReplies_ = 0;
    std::string buffer_;
    std::vector<Message> setAside_;
};

// A connection to the i3 that advertises `advertisedPath` on the root window: through
// $I3SOCK first, which i3 sets for what it starts and no other client can, else that path.
std::unique_ptr<Connection> connectToI3(const std::string& advertisedPath);

// Whether i3 is there to talk to.
enum class Reach {
    Connected,
    // No i3 advertises a socket.
    NotAdvertised,
    // A socket is advertised but does not take a connection now (i3 restarting or loaded).
    Unreachable,
};

// A request channel that reconnects when i3 restarted. `advertisedPath` is the socket path
// i3 advertises on the root window, asked anew for each connection.
class Client {
public:
    using Connector = std::function<std::unique_ptr<Connection>(const std::string& path)>;

    // `connect` opens the path (by default through $I3SOCK first).
    explicit Client(std::function<std::optional<std::string>()> advertisedPath,
                    Connector connect = connectToI3)
        : advertisedPath_(std::move(advertisedPath)), connect_(std::move(connect)) {}

    std::optional<nlohmann::json> request(MessageType type, std::string_view payload = {},
                                          KeptMembers kept = {});
    // Connects if not connected.
    Reach reach();
    bool isReachable() { return reach() == Reach::Connected; }

private:
    Connection* connection();

    std::function<std::optional<std::string>()> advertisedPath_;
    Connector connect_;
    std::unique_ptr<Connection> connection_;
};

} // namespace tidemark::linux_platform::i3
