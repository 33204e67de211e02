#include "devices/headset_light_block.h"

namespace light_block {

HeadsetLightBlock ToDevice(const HeadsetLightBlock& page, const std::vector<int32_t>& modeCodes) {
    HeadsetLightBlock out = page;
    if (page[kMode] < modeCodes.size()) out[kMode] = uint8_t(modeCodes[page[kMode]]);
    out[kSpeed] = uint8_t(kSpeedBase - page[kSpeed]);
    return out;
}

HeadsetLightBlock FromDevice(const HeadsetLightBlock& device, const std::vector<int32_t>& modeCodes) {
    HeadsetLightBlock out = device;
    for (std::size_t i = 0; i < modeCodes.size(); ++i) {
        if (modeCodes[i] == device[kMode]) {
            out[kMode] = uint8_t(i);
            break;
        }
    }
    out[kSpeed] = uint8_t(kSpeedBase - device[kSpeed]);
    return out;
}

}  // namespace light_block
