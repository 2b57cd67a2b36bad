#pragma once

#include "platform/linux/wayland/StripSurface.h"

#include <QImage>
#include <functional>
#include <memory>

struct wl_buffer;
struct wl_shm;

namespace tidemark::linux_platform::live::wayland {

// One ARGB buffer in shared memory (a sealed memfd), painted through a QImage over the same
// bytes. The compositor reads it after a commit until it releases it; a busy buffer must not
// be painted.
class ShmBuffer {
public:
    // Nothing when the memory cannot be had.
    static std::unique_ptr<ShmBuffer> create(wl_shm* shm, linux_platform::wayland::BufferSize size);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    linux_platform::wayland::BufferSize size() const { return size_; }
    wl_buffer* buffer() const { return buffer_; }
    bool busy() const { return busy_; }
    // The pixels, valid while the buffer lives.
    QImage& image() { return image_; }
    // Handed to the compositor: busy until it says it is done reading, then `released` runs.
    void attached(std::function<void()> released) {
        busy_ = true;
        released_ = std::move(released);
    }

private:
    ShmBuffer() = default;

    linux_platform::wayland::BufferSize size_;
    wl_buffer* buffer_ = nullptr;
    void* memory_ = nullptr;
    QImage image_;
    bool busy_ = false;
    std::function<void()> released_;
};

} // namespace tidemark::linux_platform::live::wayland
