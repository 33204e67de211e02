#pragma once

// Decodes PNG and JPEG files into premultiplied ARGB32 Cairo surfaces.

#include <cairo.h>

#include <string>

namespace DuiLib {

// Null when the file is missing or not a PNG or JPEG picture.
cairo_surface_t* LoadImageSurfaceUI(const std::string& bytes);

}  // namespace DuiLib
