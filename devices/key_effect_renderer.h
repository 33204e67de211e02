#pragma once

// The per-LED custom effects of the headset and mouse-pad pages: one
// LightSetting-shaped entry per LED (type 0 breathing, 1 static, 2 flash,
// 3 colour cycle, 4 off; byte 10 the present flag), drawn over the LED vector
// on every pass of the light thread. The state of each LED's breathing, flash
// and colour cycle belongs to the page.

#include <array>
#include <cstdint>
#include <vector>

#include "link/led_state.h"
#include "link/light_setting.h"

class KeyEffectRenderer {
public:
    enum Type : uint8_t { kBreathing = 0, kStatic = 1, kFlash = 2, kColorCycle = 3, kOff = 4 };

    // A new list: every LED's breathing, flash and colour-cycle state starts over.
    void Reset(const std::vector<LightSetting>& effects);
    // One pass: breathing, static, colour cycle, flash, off. Entries at or
    // beyond the LED count are ignored.
    void Render(LedState& leds, const std::vector<LightSetting>& effects, uint32_t now);
    // One kind's pass alone, its state started over first when `reset` is set.
    void BreathingPass(LedState& leds, const std::vector<LightSetting>& effects, bool reset);
    void FlashPass(LedState& leds, const std::vector<LightSetting>& effects, uint32_t now, bool reset);
    void ColorCyclePass(LedState& leds, const std::vector<LightSetting>& effects, bool reset);

    uint8_t BreathPhase(int led) const { return breathPhase_[size_t(led)]; }
    uint8_t BreathHue(int led) const { return breathHue_[size_t(led)]; }

private:
    void ResetBreathing();
    void ResetFlash(const std::vector<LightSetting>& effects);
    void ResetColorCycle(const std::vector<LightSetting>& effects);
    static int Count(const LedState& leds, const std::vector<LightSetting>& effects);
    void Breathing(LedState& leds, const std::vector<LightSetting>& effects, int n);
    void ColorCycle(LedState& leds, const std::vector<LightSetting>& effects, int n);
    void Flash(LedState& leds, const std::vector<LightSetting>& effects, int n, uint32_t now);

    static constexpr int kLeds = LedState::kMaxLeds;
    std::array<uint8_t, kLeds> breathPhase_{};
    std::array<uint8_t, kLeds> breathHue_{};
    std::array<uint32_t, kLeds> flashPeriod_{};
    std::array<uint32_t, kLeds> flashToggle_{};
    std::array<uint8_t, kLeds> flashOn_{};
    std::array<uint8_t, kLeds> flashHue_{};
    std::array<uint8_t, kLeds> cycleThreshold_{};
    std::array<uint8_t, kLeds> cycleCounter_{};
    std::array<uint8_t, kLeds> cycleHue_{};
};
