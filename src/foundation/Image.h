#pragma once

#include "foundation/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tidemark {

class Canvas;

// Pixels of a bitmap image: row-major from the top row, premultiplied RGBA, 8 bits each.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// An image of a fixed size in points. Either drawn lazily by a callback over a canvas whose
// origin is at the lower left, or backed by a bitmap (app icons). A template image is
// tinted by whoever displays it; only its alpha counts.
class Image {
public:
    using Drawing = std::function<void(Canvas&, Rect bounds)>;

    static std::shared_ptr<const Image> drawn(Size size, bool isTemplate, Drawing drawing);
    static std::shared_ptr<const Image> fromBitmap(Size size, Bitmap bitmap, std::string name = {});

    Size size() const { return size_; }
    bool isTemplate() const { return isTemplate_; }
    const Drawing* drawing() const { return drawing_ ? &drawing_ : nullptr; }
    const Bitmap* bitmap() const { return bitmap_ ? &*bitmap_ : nullptr; }
    // A label for diagnostics and tests (for example the app an icon belongs to).
    const std::string& name() const { return name_; }

    Image(Size size, bool isTemplate, Drawing drawing, std::shared_ptr<const Bitmap> bitmap,
          std::string name)
        : size_(size), isTemplate_(isTemplate), drawing_(std::move(drawing)),
          bitmap_(std::move(bitmap)), name_(std::move(name)) {}

private:
    Size size_;
    bool isTemplate_ = false;
    Drawing drawing_;
    std::shared_ptr<const Bitmap> bitmap_;
    std::string name_;
};

using ImageRef = std::shared_ptr<const Image>;

inline ImageRef Image::drawn(Size size, bool isTemplate, Drawing drawing) {
    return std::make_shared<const Image>(size, isTemplate, std::move(drawing), nullptr,
                                         std::string());
}

inline ImageRef Image::fromBitmap(Size size, Bitmap bitmap, std::string name) {
    return std::make_shared<const Image>(
        size, false, Drawing(), std::make_shared<const Bitmap>(std::move(bitmap)), std::move(name));
}

} // namespace tidemark
