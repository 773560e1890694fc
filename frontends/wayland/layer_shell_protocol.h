// Wayland: the generated layer-shell header, whose get_layer_surface names
// an argument `namespace`, a word C++ keeps for itself.
#pragma once

#include <wayland-client.h>

#define namespace namespace_
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
