#pragma once

#include <cstdint>

// One LED of a device page: the colour channels and the level (0..255) they
// are shown at. The colour a channel shows is channel * level >> 8.
struct LedColor {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t brightness = 0;
};

// The packed form passed between threads and to the sync effect:
// R | G << 8 | B << 16 | brightness << 24.
constexpr uint32_t PackLedColor(LedColor c) {
    return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16 | uint32_t(c.brightness) << 24;
}

constexpr LedColor UnpackLedColor(uint32_t w) {
    return LedColor{uint8_t(w), uint8_t(w >> 8), uint8_t(w >> 16), uint8_t(w >> 24)};
}

// The word a key button takes for an LED: R | B << 8 | G << 16 (the level goes separately).
constexpr uint32_t KeyButtonColorWord(LedColor c) { return uint32_t(c.r) | uint32_t(c.b) << 8 | uint32_t(c.g) << 16; }
