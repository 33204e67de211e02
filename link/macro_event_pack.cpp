#include "link/macro_event_pack.h"

#include <algorithm>

#include "link/json_read.h"
#include "link/string_util.h"

bool PackMacroEvent(const Json::Value& event, DeviceMacroEvent& out) {
    const bool pressed = JsonString(event, "Action") == "down";
    out.code = static_cast<std::uint8_t>(JsonInt(event, "Button") & 0xFF);
    const int delay = std::clamp(TextToInt(JsonString(event, "Delay").c_str()), 0, kMaxMacroStepDelay);
    out.delayLow = static_cast<std::uint8_t>(delay & 0xFF);
    out.delayHigh = static_cast<std::uint8_t>((delay >> 8) & 0xFF);
    out.type = static_cast<std::uint8_t>((JsonInt(event, "Type") & 0xFF) | (pressed ? 0x80 : 0));
    return true;
}
