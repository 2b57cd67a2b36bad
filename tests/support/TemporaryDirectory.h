#pragma once

#include <cstdlib>
#include <filesystem>

namespace tidemark::testing {

// A fresh folder under /tmp, removed with everything in it.
class TemporaryDirectory {
public:
    TemporaryDirectory() {
        char pattern[] = "/tmp/tidemark-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TemporaryDirectory() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace tidemark::testing
