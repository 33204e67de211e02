#include "keyboard/keyboard_key_map.h"

#include <algorithm>

#include "link/base/key_tables.h"

KeyMapPlan PlanKeyMap(const std::array<uint8_t, kKeyTableBytes>& layout,
                      const std::array<uint8_t, kKeyPositionCount>& keyIndex, const std::vector<KeyListEntry>& keys,
                      int macroCount) {
    KeyMapPlan plan{layout, {}};
    for (size_t i = 0; i < keyIndex.size(); ++i) {
        const uint8_t k = keyIndex[i];
        if (k == kNoKeyPosition) continue;
        if (i >= keys.size()) break;
        KeyFunction f = keys[i].current.function;
        if (IsMacroFunction(f.code)) {
            if (f.param1 < macroCount) {
                auto found = std::find(plan.usedMacros.begin(), plan.usedMacros.end(), int(f.param1));
                if (found == plan.usedMacros.end()) found = plan.usedMacros.insert(found, f.param1);
                f.param1 = uint8_t(found - plan.usedMacros.begin());
            } else {
                f = keys[i].defaults.function;
            }
        }
        const size_t at = size_t(k) * 3;
        if (at + 2 >= plan.map.size()) continue;
        plan.map[at] = f.code;
        plan.map[at + 1] = f.param1;
        plan.map[at + 2] = f.param2;
    }
    return plan;
}
