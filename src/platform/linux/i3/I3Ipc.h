#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
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
std::optional<nlohmann::json> parseReplyPayload(std::string_view payload);

// The top-level "change" of an event payload ("focus", "new", …), read without building the
// rest: a workspace event carries two whole workspace trees. Nothing when it is absent, not
// a string, or the payload is not JSON up to it.
std::optional<std::string> eventChange(std::string_view payload);

// One IPC socket to i3. Replies are read with a time limit, so a wedged window manager
// cannot wedge this program.
class Connection {
public:
    static constexpr std::size_t kMaxPayloadBytes = 64u << 20;

    static std::unique_ptr<Connection> open(const std::string& socketPath);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int fd() const { return fd_; }
    bool isBroken() const { return broken_; }

    // Sends a message and waits for its reply, setting events that arrive meanwhile aside.
    std::optional<nlohmann::json> request(MessageType type, std::string_view payload = {});
    // Reads what has arrived without blocking; complete messages in order. Marks the
    // connection broken at end of stream or on garbage.
    std::vector<Message> readAvailable();

private:
    explicit Connection(int fd) : fd_(fd) {}
    bool sendMessage(MessageType type, std::string_view payload);
    std::optional<Message> takeMessage();
    bool fillBuffer(int timeoutMs);

    int fd_ = -1;
    bool broken_ = false;
    std::string buffer_;
    std::vector<Message> setAside_;
};

// A request channel that reconnects when i3 restarted (its socket path comes from
// `socketPath`, asked anew each time).
class Client {
public:
    explicit Client(std::function<std::optional<std::string>()> socketPath)
        : socketPath_(std::move(socketPath)) {}

    std::optional<nlohmann::json> request(MessageType type, std::string_view payload = {});
    bool isReachable();

private:
    Connection* connection();

    std::function<std::optional<std::string>()> socketPath_;
    std::unique_ptr<Connection> connection_;
};

} // namespace tidemark::linux_platform::i3
