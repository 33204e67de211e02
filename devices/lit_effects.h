#pragma once

// The effect steps that the headset and mouse-pad pages compute themselves
// (the others are the shared steps of LedState): the wave, the running light
// over the mirrored LED pairs and the ring chase. The two pages differ only in
// the wave's strides, given as a shape. The steps share the LED state's step
// counter and keep a two-tick counter of their own for the ring.

#include <array>
#include <cstdint>
#include <utility>

#include "link/led_state.h"
#include "link/light_setting.h"

struct LitEffectShape {
    uint8_t waveHueStride;    // colourful wave: wheel entries between two LEDs
    uint8_t waveCounterStep;  // plain wave: counter step per wave step
    uint8_t waveLevelStride;  // plain wave: curve entries between two LEDs
    bool waveLevelFromNext;   // plain wave: the first LED reads entry counter + 1 (else counter)
};

inline constexpr LitEffectShape kHeadsetEffectShape{16, 3, 10, false};
inline constexpr LitEffectShape kMousePadEffectShape{7, 1, 7, true};

// The LED pairs of the running light, mirrored about the middle of a 15-LED strip.
inline constexpr std::array<std::pair<uint8_t, uint8_t>, 7> MirrorLedPairs = {
    {{1, 14}, {2, 13}, {3, 12}, {4, 11}, {5, 10}, {6, 9}, {7, 8}}};

class LitEffects {
public:
    LitEffects(LedState& leds, LitEffectShape shape) : leds_(leds), shape_(shape) {}

    void StepWave(const LightSetting& setting);
    // Mode 7: the lit ring byte walks the first 8 ring places and lights the pairs.
    void StepRunningLight(const LightSetting& setting, uint8_t modeIndex);
    // Mode 6: the lit ring byte walks the whole ring and lights single LEDs.
    void StepRingChase(const LightSetting& setting, uint8_t modeIndex);
    // Reactive state i := 255 for every LED i below the LED count whose ring byte is set.
    void IgniteRingLeds();
    // A new mode starts its ring from one lit place: fades and ring cleared, ring byte 0 := 1.
    void SeedRing();

    uint8_t TickCounter() const { return tick_; }

private:
    // The wheel index of the next colourful LED: the counter advanced by 12.
    uint8_t NextWheelIndex();
    // The colour a LED takes: the setting's, the present colour of `keep` while
    // the tested reactive state is lit, else the wheel's.
    LedColor ChooseColor(const LightSetting& s, int keep);

    LedState& leds_;
    LitEffectShape shape_;
    uint8_t tick_ = 0;
};
