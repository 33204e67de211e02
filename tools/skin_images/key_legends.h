#pragma once

// The keyboard picture's keys as the skin places them (key_rects.txt of
// tools/keyboard_skin) and the legend each key carries, from the program's
// key tables.

#include <string>
#include <vector>

namespace skinimages {

struct KeyRect {
    int position;
    int x, y, width, height;  // pixels at 96 DPI
};

// The rectangles of a key_rects.txt file; empty when it cannot be read.
std::vector<KeyRect> ReadKeyRects(const std::string& file);

// The legend printed on the key of a position: the short name of the key
// its default function types; empty for a position without one.
std::string KeyLegend(int position);

}  // namespace skinimages
