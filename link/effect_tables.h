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
// Flash period of each speed index, in units of 200 ms (5600 ms .. 1400 ms);
// also the period, in ticks, of the lighting sync and the effect playlist.
extern const std::array<uint8_t, 15> FlashPeriodUnits;
// A quick rise, a slow fall (entries 0..87) and a dark pause (88..191).
extern const std::array<uint8_t, 192> PulseCurve;

// --- Key geometry of the keyboard picture ------------------------------------
// Matrices and rings hold key positions (0..169) and kNoKeyMatrixCell where a
// cell has no key; the key sequence pads with kNoKeySequenceEntry. Every user
// treats any value of 170 or more as "no key".
constexpr uint8_t kNoKeyMatrixCell = 255;
constexpr uint8_t kNoKeySequenceEntry = 170;
constexpr int kMatrixColumns = 23;
constexpr int kMatrixRows = 6;
using KeyMatrixTable = std::array<std::array<uint8_t, kMatrixRows>, kMatrixColumns>;  // [column][row]
// The keys by column and row; row 0 is the top key row.
extern const KeyMatrixTable KeyMatrix;
// The same shape for the key layout of UI language 5.
extern const KeyMatrixTable KeyMatrixAlt;
// KeyMatrix moved down one row below an empty top row, without keys 102 and 62.
extern const std::array<std::array<uint8_t, kMatrixRows + 1>, kMatrixColumns> KeyMatrix7;
// Twelve rings of keys around key 51, from the centre outwards.
extern const std::array<std::array<uint8_t, 12>, 12> RingMatrix;
// A spiral over 97 keys, then padding up to 170 entries.
constexpr int kKeySequenceKeys = 97;
extern const std::array<uint8_t, 170> KeySequence;

// Ticks a lighting mode (row 0..34) waits between two steps, by speed index
// (column 0..14; index 0 is the slowest, columns 5 and above are 0).
extern const std::array<std::array<uint8_t, 15>, 35> SpeedThresholds;

constexpr uint32_t kFlashPeriodUnitMs = 200;

// Table lookups with the index clamped into the table: a setting read from a
// file or left over from another mode never reads outside a table.
uint8_t BrightnessLevelOf(uint8_t index);
uint32_t FlashPeriodMsOf(uint8_t speed);
// The period in ticks of a speed index (the lighting sync, the effect
// playlist); an index past the table reads its last entry (0).
uint8_t SpeedPeriodOf(uint8_t speed);
uint8_t SpeedThresholdOf(uint8_t row, uint8_t speed);
