#pragma once

// What the skin picker tells the main window: a background colour or a
// background picture.

#include <cstdint>

#include "platform/ui/dui_string.h"

struct SkinChangedParam {
    bool isColor = false;      // true: the background is `color`; false: the picture `image`
    std::uint32_t color = 0;   // ARGB
    DuiLib::CDuiString image;  // the picture's path
};
