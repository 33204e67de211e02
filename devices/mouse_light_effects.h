#pragma once
// The three lighting steps the mouse computes itself over its seven LED
// groups (the wave, the running light and the triggered fade) and the trigger
// that starts the fade. The other modes are the shared steps of LedState.
//
// A mouse has up to 15 LEDs: groups 0..5 hold an LED and its mirror on the
// other side (13..8), group 6 holds LED 6, LED 14 and LED 7 (MouseLedGroupTable).
// The steps work on the page's state: the LED state's levels, hues and ring,
// the page's step counter and its trigger state per LED. Callers serialise the
// steps and the trigger (the page holds its effect lock around both).

#include <array>
#include <atomic>
#include <cstdint>

#include "link/led_state.h"
#include "link/light_setting.h"

// One per LED: idle, rising or falling.
using MouseTriggerStates = std::array<std::atomic<uint8_t>, LedState::kMaxLeds>;

// Counts of the light thread's clock between two steps of a speed index;
// indexes past the table read 0 (a step on every count).
uint32_t MouseStepPeriod(uint8_t speed);

class MouseLightEffects {
public:
    enum TriggerState : uint8_t { kIdle = 0, kRising = 1, kFalling = 2 };
    static constexpr uint8_t kHueCircle = 192;

    MouseLightEffects(LedState& leds, uint8_t& step, MouseTriggerStates& triggers)
        : leds_(leds), step_(step), triggers_(triggers) {}

    // Mode 0: colours (or levels) travel along the groups.
    void StepWave(const LightSetting& setting);
    // Mode 5: the lit ring place lights one group per step and the groups fade.
    void StepRunningLight(const LightSetting& setting, uint8_t modeIndex);
    // Mode 6: triggered LEDs rise to full level, then fade to dark.
    void StepTriggeredFade(const LightSetting& setting);
    // Every LED rises from full level with the hue randomValue() mod 192.
    template <typename Random>
    void Trigger(Random&& randomValue) {
        const int count = leds_.GetLedCount();
        for (int i = 0; i < count; ++i) {
            triggers_[size_t(i)].store(kRising);
            leds_.m_keyLevel[size_t(i)] = 255;
            leds_.m_keyHue[size_t(i)] = uint8_t(uint32_t(randomValue()) % kHueCircle);
        }
    }

private:
    // Colours every LED of group g that lies below the LED count.
    void PaintGroup(int g, uint32_t packed);

    LedState& leds_;
    uint8_t& step_;
    MouseTriggerStates& triggers_;
};
