#pragma once
// The image a screen upload sends to the keyboard: every frame as RGB565
// pixels (high byte first, rows top first), each frame padded with 0xFF to a
// multiple of 32768 bytes, frames back to back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ScreenPixel {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};
// One frame: width x height pixels, element row * width + column.
using ScreenFramePixels = std::vector<ScreenPixel>;

inline constexpr size_t kScreenPadUnit = 32768;

uint16_t PackRgb565(ScreenPixel pixel);
// L: the frame's pixel bytes; 0 for a negative size.
size_t ScreenFrameLength(int width, int height);
// P: L rounded up to a multiple of 32768.
size_t PaddedScreenFrameLength(int width, int height);
// The frames packed one after the other, P bytes each. A frame with fewer
// pixels than width x height packs the missing ones black.
std::vector<uint8_t> BuildScreenUploadImage(const std::vector<ScreenFramePixels>& frames, int width, int height);
// The image as text: two lower-case hexadecimal digits per byte, no
// separators (what "data.txt" holds).
std::string ScreenUploadImageText(const std::vector<uint8_t>& image);
