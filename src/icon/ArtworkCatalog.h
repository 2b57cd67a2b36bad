#pragma once

#include "icon/ImageCatalog.h"

#include <map>
#include <string>

namespace tidemark {

// Tidemark's own artwork, drawn as vectors so it is sharp at every scale. The four glyph
// images are 18 × 12 point template images in black (the displayer tints them); the app
// icon is a 64-point colour image.
class ArtworkCatalog final : public ImageCatalog {
public:
    ArtworkCatalog();
    ImageRef image(std::string_view name) const override;

private:
    std::map<std::string, ImageRef, std::less<>> images_;
};

} // namespace tidemark
