#pragma once

#include <array>
#include <cstdint>

// Constant tables shared by the lighting effects of every device page.
struct RgbEntry {
    uint8_t r, g, b;
    friend constexpr bool operator==(const RgbEntry&, const RgbEntry&) = default;
};

// Level of a brightness index 0..5 (index 4 is 201, not 204).
extern const std::array<uint8_t, 6> BrightnessLevels;
// Four colours of the palette breathing and flash modes.
extern const std::array<RgbEntry, 4> PaletteColors;
// A hue circle of 192 entries followed by a repeat of its first 64, so that any
// byte index reads a valid colour.
extern const std::array<RgbEntry, 256> ColorWheel;
// Rises from 0 to 255 over 64 entries and mirrors back.
extern const std::array<uint8_t, 128> BreathCurve;
// Entries 16..63 of the breathing curve followed by their mirror.
extern const std::array<uint8_t, 96> WaveCurve;
// Flash period of each speed index, in units of 200 ms (5600 ms .. 1400 ms).
extern const std::array<uint8_t, 15> FlashPeriodUnits;

constexpr uint32_t kFlashPeriodUnitMs = 200;

// Table lookups with the index clamped into the table: a setting read from a
// file or left over from another mode never reads outside a table.
uint8_t BrightnessLevelOf(uint8_t index);
uint32_t FlashPeriodMsOf(uint8_t speed);
