#pragma once

// What the generated code includes comes first: the macro below must reach only its own text.
#include <cstddef>
#include <cstdint>
#include <wayland-client.h>

// The layer shell's generated client code names an argument `namespace`, a C++ keyword.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client.h"
#undef namespace
