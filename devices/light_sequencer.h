#pragma once

// The custom-effect sequencer: plays the timed steps of a ".light" effect
// (the page's playlist) one after the other, each for its duration, drawing
// breathing, static, flash, wave and colour-cycle frames over the whole LED
// vector. One sequencer belongs to one page; the headset, the mouse pad and
// the mouse use the same one.

#include <cstdint>
#include <vector>

#include "link/led_state.h"
#include "link/light_setting.h"
#include "platform/os/critical_section.h"

class LightSequencer {
public:
    // The page's playlist, guarded by its lock (held only while it is read or advanced).
    struct Playlist {
        win::CCriticalSection& lock;
        const std::vector<LedEffectStep>& steps;
        int& index;
    };

    // One pass of the light thread. `pageSpeed` is the speed index of the
    // page's own setting (the flash period); `now` a millisecond clock.
    void Run(LedState& leds, Playlist playlist, uint8_t pageSpeed, uint32_t now);

    int Tick() const { return tick_; }
    int Phase() const { return phase_; }

private:
    void BreathingFrame(LedState& leds);
    void FlashFrame(LedState& leds, uint8_t pageSpeed, uint32_t now);

    LightSetting step_{};
    uint32_t duration_ = 0;
    uint32_t lastSwitch_ = 0;
    bool started_ = false;
    int tick_ = 0;
    int phase_ = 0;
    // Flash frame.
    bool flashOn_ = false;
    uint8_t flashHue_ = 0;
    uint32_t lastToggle_ = 0;
    // Breathing frame: the hue moves on at the end of every breath.
    uint8_t breathHue_ = 0;
};
