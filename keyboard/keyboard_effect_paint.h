#pragma once
// Small helpers the keyboard's effect steps share: colours at a level, and
// writing one LED of the vector.

#include <cstdint>

#include "link/effect_tables.h"
#include "link/led_color.h"
#include "link/led_state.h"
#include "link/light_setting.h"

namespace keyboard_fx {

inline constexpr int kLeds = LedState::kMaxLeds;

inline bool IsKey(uint8_t n) { return n < kNoKeySequenceEntry; }
inline uint8_t Shade(uint8_t full, uint8_t x) { return uint8_t((unsigned(full) * x) >> 8); }
inline LedColor WheelColor(uint8_t hue, uint8_t level) {
    const RgbEntry& e = ColorWheel[hue];
    return {e.r, e.g, e.b, level};
}
inline LedColor SettingColor(const LightSetting& s, uint8_t level) { return {s.red, s.green, s.blue, level}; }
inline void Put(LedState& leds, int n, LedColor c) { leds.SetLedColor(n, PackLedColor(c)); }

// LED n in its wheel colour (colourful) or the setting colour, scaled by its level.
inline void PaintLevel(LedState& leds, const LightSetting& s, uint8_t full, int n) {
    const uint8_t level = Shade(full, leds.m_keyLevel[n]);
    Put(leds, n, s.colorful ? WheelColor(leds.m_keyHue[n], level) : SettingColor(s, level));
}

// x + k, wrapped into 0..limit-1.
inline uint8_t AddMod(unsigned x, unsigned k, unsigned limit) { return uint8_t((x + k) % limit); }

}  // namespace keyboard_fx
