#include "link/effect_tables.h"

#include <algorithm>

namespace {

constexpr std::array<uint8_t, 32> kUpRamp = {1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,
                                             44,  50,  57,  65,  73,  81,  89,  99,  109, 119, 129,
                                             140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr std::array<uint8_t, 32> kDownRamp = {248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124,
                                               114, 104, 94,  85,  77,  69,  61,  53,  47,  41,  35,
                                               29,  24,  20,  16,  12,  8,   6,   4,   2,   0};
constexpr std::array<uint8_t, 64> kBreathRise = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,  22,  24,  27,  30,  33,  36,
    39,  42,  45,  49,  53,  57,  61,  65,  69,  73,  77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129,
    134, 140, 146, 152, 158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

constexpr std::array<RgbEntry, 256> MakeColorWheel() {
    std::array<RgbEntry, 256> wheel{};
    for (int k = 0; k < 32; ++k) {
        const uint8_t u = kUpRamp[k];
        const uint8_t d = kDownRamp[k];
        wheel[0 * 32 + k] = {255, u, 0};
        wheel[1 * 32 + k] = {d, 255, 0};
        wheel[2 * 32 + k] = {0, 255, u};
        wheel[3 * 32 + k] = {0, d, 255};
        wheel[4 * 32 + k] = {u, 0, 255};
        wheel[5 * 32 + k] = {255, 0, d};
    }
    for (int k = 0; k < 64; ++k) wheel[192 + k] = wheel[k];
    return wheel;
}

constexpr std::array<uint8_t, 128> MakeBreathCurve() {
    std::array<uint8_t, 128> curve{};
    for (int i = 0; i < 64; ++i) {
        curve[i] = kBreathRise[i];
        curve[127 - i] = kBreathRise[i];
    }
    return curve;
}

constexpr std::array<uint8_t, 96> MakeWaveCurve() {
    std::array<uint8_t, 96> curve{};
    for (int i = 0; i < 48; ++i) {
        curve[i] = kBreathRise[16 + i];
        curve[95 - i] = kBreathRise[16 + i];
    }
    return curve;
}

}  // namespace

const std::array<uint8_t, 6> BrightnessLevels = {0, 51, 102, 153, 201, 255};
const std::array<RgbEntry, 4> PaletteColors = {{{0, 255, 180}, {0, 255, 0}, {255, 255, 255}, {255, 0, 0}}};
const std::array<RgbEntry, 256> ColorWheel = MakeColorWheel();
const std::array<uint8_t, 128> BreathCurve = MakeBreathCurve();
const std::array<uint8_t, 96> WaveCurve = MakeWaveCurve();
const std::array<uint8_t, 15> FlashPeriodUnits = {28, 23, 18, 13, 7};

uint8_t BrightnessLevelOf(uint8_t index) {
    return BrightnessLevels[std::min<size_t>(index, BrightnessLevels.size() - 1)];
}

uint32_t FlashPeriodMsOf(uint8_t speed) {
    // Only the first five entries are speeds; faster than the fastest is the fastest.
    return uint32_t(FlashPeriodUnits[std::min<uint8_t>(speed, 4)]) * kFlashPeriodUnitMs;
}

uint8_t SpeedPeriodOf(uint8_t speed) { return FlashPeriodUnits[std::min<size_t>(speed, FlashPeriodUnits.size() - 1)]; }
