#pragma once

#include "foundation/Image.h"

namespace tidemark::linux_platform {

// The icon of an app that has none of its own: a neutral grey tile, the same for every caller.
ImageRef genericAppIcon();

} // namespace tidemark::linux_platform
