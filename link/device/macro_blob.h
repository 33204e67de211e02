#pragma once
// The macro table a keyboard or mouse takes with its macro-write command:
// a 16-byte header (0x55AA, total length, macro count, 10 zero bytes), one
// 16-bit offset per macro, then each macro's record (event count, 2 zero
// bytes, its 4-byte events). Numbers are little-endian.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/macro_event_pack.h"

inline constexpr size_t kMacroBlobHeaderSize = 16;
inline constexpr uint16_t kMacroBlobMagic = 0x55AA;

// 16 + 6n + 4 x (sum of the event counts).
size_t MacroBlobSize(const std::vector<size_t>& eventCounts);

// The table of the macros in this order. Callers check the size against the
// device's capacity first; a table that would pass 65535 bytes is empty.
std::vector<uint8_t> BuildMacroBlob(const std::vector<std::vector<DeviceMacroEvent>>& macros);
