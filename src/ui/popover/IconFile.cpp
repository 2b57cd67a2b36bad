#include "ui/popover/IconFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tidemark::ui {
namespace {

// A raster icon larger than this on either edge is no icon; a vector one is drawn to size.
constexpr int kMaxRasterEdge = 4096;

std::filesystem::file_type fileType(mode_t mode) {
    using std::filesystem::file_type;
    if (S_ISREG(mode))
        return file_type::regular;
    if (S_ISDIR(mode))
        return file_type::directory;
    if (S_ISFIFO(mode))
        return file_type::fifo;
    if (S_ISCHR(mode))
        return file_type::character;
    if (S_ISBLK(mode))
        return file_type::block;
    if (S_ISSOCK(mode))
        return file_type::socket;
    return file_type::unknown;
}

std::optional<QByteArray> readBounded(const std::string& path) {
    // Looked at before opening, so that no device is opened at all; checked again on the
    // open file, which is what is read. Non-blocking: opening a FIFO must not wait.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || status.type() != std::filesystem::file_type::regular)
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &info) == 0 &&
        isReadableIconFile(fileType(info.st_mode), std::uintmax_t(info.st_size))) {
        QByteArray data(qsizetype(info.st_size), Qt::Uninitialized);
        qsizetype filled = 0;
        while (filled < data.size()) {
            const auto n = ::read(fd, data.data() + filled, std::size_t(data.size() - filled));
            if (n <= 0)
                break;
            filled += n;
        }
        data.truncate(filled);
        bytes = std::move(data);
    }
    ::close(fd);
    return bytes;
}

} // namespace

bool isReadableIconFile(std::filesystem::file_type type, std::uintmax_t bytes) {
    return type == std::filesystem::file_type::regular && bytes <= kMaxIconFileBytes;
}

QImage readIconFile(const std::string& path, int pixels) {
    auto bytes = readBounded(path);
    if (!bytes)
        return {};
    QBuffer buffer(&*bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (reader.supportsOption(QImageIOHandler::ScaledSize) && !size.isEmpty())
        reader.setScaledSize(size.scaled(pixels, pixels, Qt::KeepAspectRatio));
    else if (size.width() > kMaxRasterEdge || size.height() > kMaxRasterEdge)
        return {};
    return reader.read();
}

} // namespace tidemark::ui
