#pragma once
// A picture of the keyboard's screen as the program passes it to and from the
// picture and video library: columns x rows pixels, rows top first, each
// pixel blue, green, red.

#include <cstddef>
#include <cstdint>
#include <vector>

struct ScreenPicture {
    int columns = 0;
    int rows = 0;
    std::vector<uint8_t> bgr;  // columns * rows * 3 bytes

    bool Empty() const { return columns <= 0 || rows <= 0; }
    const uint8_t* Pixel(int column, int row) const {
        return &bgr[(std::size_t(row) * std::size_t(columns) + std::size_t(column)) * 3];
    }
    uint8_t* Pixel(int column, int row) {
        return &bgr[(std::size_t(row) * std::size_t(columns) + std::size_t(column)) * 3];
    }
};
