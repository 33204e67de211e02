#pragma once
// A small GIF writer for the tests: every frame in the 216 colours whose
// channels are multiples of 51, stored without compression gain (literal LZW
// codes with a clear code every hundred codes), which any decoder reads.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace kbtest {

struct GifPixel {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// One frame: width * height pixels, rows top first. Channels are rounded to
// the nearest multiple of 51.
using GifFrame = std::vector<GifPixel>;

// Writes an animated GIF; false when the file cannot be written.
bool WriteGif(const std::filesystem::path& path, int width, int height, const std::vector<GifFrame>& frames,
              int delayCentiseconds = 10);

}  // namespace kbtest
