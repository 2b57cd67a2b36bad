#pragma once

#include "foundation/Image.h"
#include "spaces/Space.h"

namespace tidemark {

// Where a platform has its own way to find an app's icon (on Linux: the desktop entry's icon
// through the icon theme, then the window's icon, then a drawn tile), the one source that
// the strip's icons and the panel's rows both take, so that they show the same picture.
// Without one the mapper loads icons from the workspace (bundle file, app, generic icon).
class AppIconSource {
public:
    virtual ~AppIconSource() = default;
    // The icon of the app a row stands for, `pixels` wide and high; never null.
    virtual ImageRef appIcon(const SpaceAppDetail& app, int pixels) const = 0;
};

} // namespace tidemark
