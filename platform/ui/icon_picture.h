#pragma once

// The program's icons are pictures of the skin: icon resource n is
// "icon<n>.png" in the resource folder. The window and the tray show the same.

#include <cairo.h>

#include "platform/files/win_types.h"

namespace DuiLib {

// A new reference to the picture of icon resource `resource`; null when the
// skin has none that can be read.
cairo_surface_t* LoadIconPictureUI(win::UINT resource);

}  // namespace DuiLib
