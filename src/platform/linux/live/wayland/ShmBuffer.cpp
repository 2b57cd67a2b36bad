#include "platform/linux/live/wayland/ShmBuffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <wayland-client.h>

namespace tidemark::linux_platform::live::wayland {

std::unique_ptr<ShmBuffer> ShmBuffer::create(wl_shm* shm,
                                             linux_platform::wayland::BufferSize size) {
    const int fd = ::memfd_create("tidemark-strip", MFD_CLOEXEC | MFD_ALLOW_SEALING);
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

} // namespace tidemark::linux_platform::live::wayland
