#pragma once
// Which device key and which LED belong to each key position of the picture:
// the position's default function is looked up in the keyboard's layout
// table, and the device key found there gives the LED through the LED table.

#include <array>
#include <cstdint>

#include "keyboard/key_position_table.h"

inline constexpr uint8_t kNoKeyPosition = 255;
inline constexpr size_t kKeyTableBytes = 512;
// A keyboard has at most this many device keys (3 bytes each in 512).
inline constexpr int kMaxDeviceKeys = 170;

struct KeyPositionMaps {
    std::array<uint8_t, kKeyPositionCount> keyIndex;  // device key index, 255 none
    std::array<uint8_t, kKeyPositionCount> ledIndex;  // LED index, 255 none
};

// For every position the first device key k < keyCount (held to 0..170)
// whose three layout bytes equal the position's default; positions with the
// same default share the device key.
KeyPositionMaps MapKeyPositions(const std::array<uint8_t, kKeyTableBytes>& layout,
                                const std::array<uint8_t, kKeyTableBytes>& ledTable, int keyCount);
