#pragma once

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tidemark::ui {

// Icon files named by desktop entries are untrusted. Only a regular file is read: a FIFO
// would block the main thread until someone writes to it, a device may never end. And only
// up to a size no icon needs, checked before anything is decoded.
inline constexpr std::uintmax_t kMaxIconFileBytes = 4u << 20;
bool isReadableIconFile(std::filesystem::file_type type, std::uintmax_t bytes);

// The image of the icon file at `path`, a vector one drawn to fit `pixels`; a null image
// when the file fails the rule above or does not decode.
QImage readIconFile(const std::string& path, int pixels);

} // namespace tidemark::ui
