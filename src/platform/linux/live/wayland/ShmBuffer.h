#pragma once

#include "platform/linux/wayland/StripSurface.h"

#include <QImage>
#include <functional>
#include <memory>
#include <vector>

struct wl_buffer;
struct wl_shm;
struct wl_surface;

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
    // Shows the buffer on `surface` (committed, at `scale`): busy until the compositor says it
    // is done reading, then `released` runs.
    void present(wl_surface* surface, int scale, std::function<void()> released);

private:
    ShmBuffer() = default;

    linux_platform::wayland::BufferSize size_;
    wl_buffer* buffer_ = nullptr;
    void* memory_ = nullptr;
    QImage image_;
    bool busy_ = false;
    std::function<void()> released_;
};

// A surface's buffers: two are enough, one the compositor shows and one to paint; while both
// are held a change waits for a release.
class ShmBuffers {
public:
    explicit ShmBuffers(wl_shm* shm) : shm_(shm) {}

    // A buffer of `size` the compositor does not hold; nothing while it holds both or the
    // memory cannot be had.
    ShmBuffer* free(linux_platform::wayland::BufferSize size);
    void clear() { buffers_.clear(); }

private:
    wl_shm* shm_;
    std::vector<std::unique_ptr<ShmBuffer>> buffers_;
};

} // namespace tidemark::linux_platform::live::wayland
