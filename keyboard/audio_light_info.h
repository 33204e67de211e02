#pragma once

// The music-style record the main window keeps in "AudioFile.json" and the
// music-style window edits: four named colours (each channel 0..9) and the
// selected one.

#include <array>
#include <cstdint>
#include <string>

struct AudioStyleColor {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const AudioStyleColor&, const AudioStyleColor&) = default;
};

struct AudioLightInfo {
    static constexpr int kStyles = 4;

    uint8_t styleIndex = 0;
    std::array<std::wstring, kStyles> styleName{};
    std::array<AudioStyleColor, kStyles> styleColor{};

    friend bool operator==(const AudioLightInfo&, const AudioLightInfo&) = default;
};
