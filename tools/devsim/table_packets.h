#pragma once

// The tables the keyboard and the mouse take in packets (macro table 0x15,
// recoil table 0x17): a 16-byte header (0x55AA, total length, entry count,
// reserved), one 16-bit offset per entry, then each entry's event count, two
// reserved bytes and its 4-byte events.

#include "tools/devsim/keyboard_model.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavrik::devsim {

inline constexpr std::size_t kTableHeader = 16;

// Stores one packet of a table at `offset` of `space` and checks what has
// arrived: false (the packet refused) when it reaches past `capacity`, when
// the header shows a wrong magic or a total above the capacity, or when the
// last packet completes a table that does not parse (see ParseMacroTable).
// A packet that is refused for its place is not stored.
bool StoreTablePacket(std::vector<std::uint8_t>& space, std::size_t offset, std::size_t count, const std::uint8_t* data,
                      std::size_t capacity);

}  // namespace tavrik::devsim
