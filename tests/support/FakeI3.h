#pragma once

#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tidemark::testing {

// One message of i3's IPC (and sway's) as it goes over the wire.
inline std::string frame(std::uint32_t type, const std::string& payload) {
    std::string message = "i3-ipc";
    const auto length = static_cast<std::uint32_t>(payload.size());
    message.append(reinterpret_cast<const char*>(&length), 4);
    message.append(reinterpret_cast<const char*>(&type), 4);
    return message + payload;
}

// A one-connection stand-in for i3: reads one request, then writes the scripted bytes.
class FakeI3 {
public:
    explicit FakeI3(std::string path) : path_(std::move(path)) {
        std::filesystem::remove(path_);
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(listener_, 4), 0);
    }
    ~FakeI3() {
        join();
        ::close(listener_);
        std::filesystem::remove(path_);
    }

    // Serves `connections` clients in turn, answering each request with `answer`.
    void serve(std::string answer, int connections = 1) {
        serveWith(
            [this, answer = std::move(answer)](int client) {
                if (readRequest(client))
                    ::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
            },
            connections);
    }

    // Runs `script` on each of `connections` clients in turn.
    void serveWith(std::function<void(int client)> script, int connections = 1) {
        thread_ = std::thread([this, script = std::move(script), connections] {
            for (int i = 0; i < connections; ++i) {
                const int client = ::accept(listener_, nullptr, nullptr);
                if (client < 0)
                    return;
                script(client);
                ::close(client);
            }
        });
    }

    // Reads one request and notes its payload; nothing at end of stream.
    std::optional<std::string> readRequest(int client) {
        char header[14];
        if (::recv(client, header, sizeof header, MSG_WAITALL) != sizeof header)
            return std::nullopt;
        std::uint32_t length = 0;
        std::memcpy(&length, header + 6, 4);
        std::string payload(length, '\0');
        if (length)
            ::recv(client, payload.data(), length, MSG_WAITALL);
        received.push_back(payload);
        return payload;
    }

    void join() {
        if (thread_.joinable())
            thread_.join();
    }

    const std::string& path() const { return path_; }
    std::vector<std::string> received;

private:
    std::string path_;
    int listener_ = -1;
    std::thread thread_;
};

inline std::string socketPath() {
    return (std::filesystem::temp_directory_path() /
            ("tidemark-i3-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name()))
        .string();
}

} // namespace tidemark::testing
