#pragma once

// The bytes of an ICO file of cursor type (2) holding one PNG entry.

#include <cstdint>
#include <vector>

namespace skinimages {

// `png` is the entry's PNG file of width x height pixels (each 1..256);
// the directory entry carries the hot spot.
std::vector<std::uint8_t> CursorIcoFile(const std::vector<std::uint8_t>& png, int width, int height, int hotX,
                                        int hotY);

}  // namespace skinimages
