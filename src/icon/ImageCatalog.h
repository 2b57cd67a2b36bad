#pragma once

#include "foundation/Image.h"

#include <string_view>

namespace tidemark {

// Names of the images the application ships.
inline constexpr std::string_view kSkywardIconImage = "SkywardIcon";
inline constexpr std::string_view kSkywardIconBorderImage = "SkywardIconBorder";
inline constexpr std::string_view kSkywardIconFullEnImage = "SkywardIconFullEn";
inline constexpr std::string_view kSkywardIconFullDisImage = "SkywardIconFullDis";
inline constexpr std::string_view kAppIconImage = "AppIcon";

// The application's image resources, looked up by name.
class ImageCatalog {
public:
    virtual ~ImageCatalog() = default;
    // Null when no image has that name.
    virtual ImageRef image(std::string_view name) const = 0;
};

} // namespace tidemark
