#pragma once

#include "foundation/Color.h"
#include "foundation/Image.h"
#include "icon/Canvas.h"

#include <QImage>
#include <QPoint>
#include <QTransform>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

namespace tidemark::ui {

// Pixels of the small shapes and icons that a strip repeats (slot outlines, fills, app
// icons), each rasterised once per device size and sub-pixel position and then copied at a
// whole-pixel position. Copying is much cheaper than rasterising anew, and a copy at a whole
// pixel is exact. Main thread only; bounded.
class SpriteCache {
public:
    struct Sprite {
        const QImage* pixels = nullptr;
        QPoint origin; // device pixel of the sprite's top-left corner
    };

    static SpriteCache& shared();

    // Nullopt when `device` is more than a uniform scale and a translation.
    std::optional<Sprite> roundedRect(const QTransform& device, const Path::RoundedRect& shape,
                                      Color color, std::optional<StrokeStyle> stroke);
    // `pixels` are the bitmap's own. The sprite lasts as long as the bitmap: an icon of an
    // app that quit takes its sprites with it.
    std::optional<Sprite> bitmap(const QTransform& device,
                                 const std::shared_ptr<const Bitmap>& bitmap, const QImage& pixels,
                                 Rect rect);

    std::size_t size() const { return sprites_.size(); }

private:
    // kind, bitmap, phase x, phase y, width, height, radius x, radius y, colour, line, cap
    using Key = std::tuple<int, const Bitmap*, long, long, long, long, long, long,
                           unsigned long long, long, int>;
    struct Entry {
        QImage pixels;
        // Set for bitmap sprites: once it expires, the key's address may name another bitmap.
        std::optional<std::weak_ptr<const Bitmap>> bitmap;

        bool isStale() const { return bitmap && bitmap->expired(); }
    };

    const QImage& remember(Key key, Entry entry);

    std::map<Key, Entry> sprites_;
};

} // namespace tidemark::ui
