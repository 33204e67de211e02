#pragma once
// The key map a keyboard takes (3 bytes, the key function, per device key)
// and the list of macros it refers to. Macro functions are renumbered to
// their place in that list, which is also the order of the macro table.

#include <array>
#include <cstdint>
#include <vector>

#include "keyboard/key_position_map.h"
#include "link/base/key_list_entry.h"

struct KeyMapPlan {
    std::array<uint8_t, kKeyTableBytes> map;  // starts as the layout table: unreached keys keep their default
    std::vector<int> usedMacros;              // macro numbers in the order of first use
};

// Walks the positions in order, skipping unmapped ones and stopping at the
// key list's end. A macro function whose number is not below macroCount
// takes the key's default function instead.
KeyMapPlan PlanKeyMap(const std::array<uint8_t, kKeyTableBytes>& layout,
                      const std::array<uint8_t, kKeyPositionCount>& keyIndex, const std::vector<KeyListEntry>& keys,
                      int macroCount);
