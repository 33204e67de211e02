#include "keyboard/key_position_map.h"

#include <algorithm>

KeyPositionMaps MapKeyPositions(const std::array<uint8_t, kKeyTableBytes>& layout,
                                const std::array<uint8_t, kKeyTableBytes>& ledTable, int keyCount) {
    KeyPositionMaps maps;
    maps.keyIndex.fill(kNoKeyPosition);
    maps.ledIndex.fill(kNoKeyPosition);
    const int keys = std::clamp(keyCount, 0, kMaxDeviceKeys);
    for (size_t p = 0; p < kKeyPositionCount; ++p) {
        const KeyFunction& wanted = KeyPositionTable[p];
        for (int k = 0; k < keys; ++k) {
            const size_t at = size_t(k) * 3;
            if (layout[at] == wanted.code && layout[at + 1] == wanted.param1 && layout[at + 2] == wanted.param2) {
                maps.keyIndex[p] = uint8_t(k);
                maps.ledIndex[p] = ledTable[size_t(k)];
                break;
            }
        }
    }
    return maps;
}
