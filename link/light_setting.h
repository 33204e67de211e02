#pragma once

#include <cstdint>

// The lighting of one device in one profile, exchanged between the pages,
// the profile document and the light threads as this fixed 14-byte record.
struct LightSetting {
    uint8_t mode = 0;        // lighting mode number ("SelectItem")
    uint8_t brightness = 0;  // 0..5 ("Light")
    uint8_t speed = 0;       // 0..4, a keyboard 0..5 ("Speed")
    uint8_t direction = 0;   // direction or effect variant ("Fx")
    uint8_t colorful = 0;    // multi-colour flag, 0 or 1 ("MultiColor")
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t reserved[2] = {0, 0};
    uint8_t present = 0;       // 1 for an entry of a light list that has a setting of its own
    uint8_t subMode = 0;       // "ZZCCLedMode"
    uint8_t customGroup = 0;   // "CustomGroup"
    uint8_t previousMode = 0;  // "OldLedmode"

    friend bool operator==(const LightSetting&, const LightSetting&) = default;
};
static_assert(sizeof(LightSetting) == 14, "LightSetting is a 14-byte record");

// Brightness and speed levels a LightSetting may hold; values outside these
// ranges would index past the level tables of the effects.
constexpr int kMaxBrightnessLevel = 5;
constexpr int kMaxSpeedLevel = 4;
// A profile document's speed may be 5: the keyboard's own speed range, which
// reaches the profile through the keyboard's block and must survive the way back.
constexpr int kMaxProfileSpeedLevel = 5;

// The music-lighting choice of a profile (9 bytes).
struct AudioLightSetting {
    uint8_t mode = 0;   // "AudioMode"
    uint8_t bkRed = 0;  // background colour
    uint8_t bkGreen = 0;
    uint8_t bkBlue = 0;
    uint8_t fgRed = 0;  // foreground colour
    uint8_t fgGreen = 0;
    uint8_t fgBlue = 0;
    uint8_t sevenColor = 0;  // seven-colour flag, 0 or 1
    uint8_t colorType = 0;   // 1 when the lighting page edits the foreground colour

    friend bool operator==(const AudioLightSetting&, const AudioLightSetting&) = default;
};
static_assert(sizeof(AudioLightSetting) == 9, "AudioLightSetting is a 9-byte record");

// One timed step of a custom lighting effect: the first eight fields of the
// setting (mode to blue) are filled, the rest stay 0.
struct LedEffectStep {
    LightSetting setting;
    int32_t time = 0;
    int32_t cycle = 0;

    friend bool operator==(const LedEffectStep&, const LedEffectStep&) = default;
};
