#include "platform/linux/apps/GenericAppIcon.h"

namespace tidemark::linux_platform {

ImageRef genericAppIcon() {
    static const ImageRef generic = [] {
        constexpr int edge = 16;
        Bitmap bitmap{edge, edge, {}};
        for (int y = 0; y < edge; ++y)
            for (int x = 0; x < edge; ++x) {
                const bool border = x == 0 || y == 0 || x == edge - 1 || y == edge - 1;
                const std::uint8_t grey = border ? 96 : 160;
                bitmap.rgba.insert(bitmap.rgba.end(), {grey, grey, grey, 255});
            }
        return Image::fromBitmap(Size{edge, edge}, std::move(bitmap), "generic");
    }();
    return generic;
}

} // namespace tidemark::linux_platform
