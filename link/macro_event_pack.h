#pragma once

#include <cstdint>

#include <json/value.h>

// One macro step as the devices take it (4 bytes on the wire).
struct DeviceMacroEvent {
    std::uint8_t delayLow = 0;   // delay in milliseconds, bits 0-7
    std::uint8_t delayHigh = 0;  // delay in milliseconds, bits 8-15
    std::uint8_t type = 0;       // event type (low 8 bits), bit 7 set for a press
    std::uint8_t code = 0;       // button or key code (low 8 bits)
};
static_assert(sizeof(DeviceMacroEvent) == 4, "a macro step is 4 bytes on the wire");

inline constexpr int kMaxMacroStepDelay = 65535;

// Packs one stored macro action (an object with "Action", "Button", "Type" and
// "Delay") into its device form:
// - pressed when "Action" is exactly the text "down" (case-sensitive);
// - code = "Button" read as an integer, low 8 bits;
// - the delay = "Delay" read as text (a number gives its decimal text) and then
//   as a decimal integer, held to 0..65535 ms (a longer delay becomes the
//   longest the device can take, never a wrapped short one);
// - type = "Type" read as an integer, low 8 bits, with bit 7 set when pressed.
// A missing member, or one of a kind that cannot be read so, counts as absent
// (0, not pressed). Always returns true.
bool PackMacroEvent(const Json::Value& event, DeviceMacroEvent& out);
