#include "platform/linux/live/wayland/ShmBuffer.h"

#include <climits>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <wayland-client.h>

namespace tidemark::linux_platform::live::wayland {

std::unique_ptr<ShmBuffer> ShmBuffer::create(wl_shm* shm,
                                             linux_platform::wayland::BufferSize size) {
    const int fd = ::memfd_create("tidemark-surface", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<ShmBuffer> made(new ShmBuffer);
    made->size_ = size;
    const auto bytes = size.bytes();
    if (::ftruncate(fd, off_t(bytes)) != 0) {
        ::close(fd);
        return nullptr;
    }
    // The compositor maps it too: it must not shrink under either of us.
    ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL);
    made->memory_ = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (made->memory_ == MAP_FAILED) {
        made->memory_ = nullptr;
        ::close(fd);
        return nullptr;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int(bytes));
    made->buffer_ = wl_shm_pool_create_buffer(pool, 0, size.width, size.height, size.stride,
                                              WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    ::close(fd);
    static const wl_buffer_listener listener{[](void* data, wl_buffer*) {
        auto& self = *static_cast<ShmBuffer*>(data);
        self.busy_ = false;
        if (auto released = std::exchange(self.released_, nullptr))
            released();
    }};
    wl_buffer_add_listener(made->buffer_, &listener, made.get());
    // ARGB8888 is premultiplied 32-bit ARGB in the machine's byte order, as is this format.
    made->image_ = QImage(static_cast<uchar*>(made->memory_), size.width, size.height, size.stride,
                          QImage::Format_ARGB32_Premultiplied);
    return made;
}

ShmBuffer::~ShmBuffer() {
    image_ = QImage();
    if (buffer_)
        wl_buffer_destroy(buffer_);
    if (memory_)
        ::munmap(memory_, size_.bytes());
}

void ShmBuffer::present(wl_surface* surface, int scale, std::function<void()> released) {
    wl_surface_set_buffer_scale(surface, scale);
    wl_surface_attach(surface, buffer_, 0, 0);
    wl_surface_damage_buffer(surface, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(surface);
    busy_ = true;
    released_ = std::move(released);
}

ShmBuffer* ShmBuffers::free(linux_platform::wayland::BufferSize size) {
    std::erase_if(buffers_,
                  [&](const auto& buffer) { return !buffer->busy() && buffer->size() != size; });
    for (const auto& buffer : buffers_)
        if (!buffer->busy())
            return buffer.get();
    if (buffers_.size() >= 2)
        return nullptr;
    auto made = ShmBuffer::create(shm_, size);
    if (!made)
        return nullptr;
    buffers_.push_back(std::move(made));
    return buffers_.back().get();
}

} // namespace tidemark::linux_platform::live::wayland
