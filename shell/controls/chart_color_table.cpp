#include "shell/controls/chart_color_table.h"

namespace {
constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) { return red | green << 8 | blue << 16; }
}  // namespace

const std::array<uint32_t, 18> ChartColorTable = {
    Rgb(63, 150, 245),  Rgb(255, 90, 1),    Rgb(106, 244, 192), Rgb(245, 234, 106), Rgb(252, 123, 151),
    Rgb(162, 245, 63),  Rgb(157, 144, 252), Rgb(210, 144, 252), Rgb(127, 176, 203), Rgb(244, 196, 113),
    Rgb(162, 194, 133), Rgb(189, 23, 23),   Rgb(189, 23, 179),  Rgb(97, 23, 189),   Rgb(23, 43, 189),
    Rgb(18, 136, 76),   Rgb(136, 121, 18),  Rgb(136, 38, 18),
};

uint32_t ChartSliceColor(std::size_t slice) {
    const uint32_t colorref = ChartColorTable[slice % ChartColorTable.size()];
    const uint32_t red = colorref & 0xFF, green = (colorref >> 8) & 0xFF, blue = (colorref >> 16) & 0xFF;
    return 0xFF000000u | red << 16 | green << 8 | blue;
}
