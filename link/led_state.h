#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "link/led_color.h"
#include "link/light_setting.h"

// The working lighting of one device page: the LED vector and the state bytes of
// the whole-device effects, the reactive (key-press) fade levels and the trigger
// ring, with the steps and generators that every device family shares.
//
// The LED vector is written by the light, stream and sync threads and read by
// the UI thread. Each LED is one atomic 32-bit word (see PackLedColor), written
// and read whole: a frame may mix LEDs of two ticks but never shows a torn LED.
// The effect state bytes, reactive states and ring belong to the light thread.
class LedState {
public:
    static constexpr int kMaxLeds = 170;
    static constexpr int kRingSize = 23;

    LedState() = default;
    LedState(const LedState&) = delete;
    LedState& operator=(const LedState&) = delete;

    // Resizes the vector when the count differs, then zeroes every LED.
    // Called before any thread that touches the vector runs.
    void SetLedCount(int count);
    int GetLedCount() const { return count_; }

    // Index outside the vector: nothing / 0.
    void SetLedColor(int index, uint32_t packed);
    uint32_t GetLedColor(int index) const;
    LedColor GetLed(int index) const { return UnpackLedColor(GetLedColor(index)); }

    // The counter rule every effect advances its byte counters by: counting up,
    // value + step and 0 once that reaches limit; counting down, value - step as a
    // byte and limit - step when that byte is limit or more.
    static uint8_t StepCounter(uint8_t direction, uint8_t limit, uint8_t value, uint8_t step);

    // Whole-device steps; each writes every LED and returns the LED count.
    int StepBreathing(const LightSetting& setting);
    int StepBreathingPalette(const LightSetting& setting);
    int StepStatic(const LightSetting& setting);
    int StepSpectrum(const LightSetting& setting);
    int StepFlash(const LightSetting& setting, uint32_t now);
    int StepFlashPalette(const LightSetting& setting, uint32_t now);
    int StepLightsOff();

    // Reactive states and ring.
    void FadeLedState(int led, int mode);
    void IgniteRingLeds();
    void RotateRing(bool up);
    void RotateWaveRing(int length, bool up);
    void ClearFadeState();

    // Generators of the effect playlists and per-LED effects.
    void RenderWaveFrame(const LightSetting& setting, uint8_t hue);
    void RenderStaticFrame(const LightSetting& setting, uint8_t step);
    void RenderColorCycleFrame(const LightSetting& setting, uint8_t hue);
    // Per-LED effect records: byte 0 (mode) is the type, 1 the brightness, 5..7 the colour.
    void RenderKeyStatic(const std::vector<LightSetting>& effects);
    void RenderKeyOff(const std::vector<LightSetting>& effects);

    // Effect state, public as the families' own effects read and write it.
    uint8_t m_effectStep = 0;                    // step counter of the breathing, spectrum and flash steps
    uint8_t m_effectAuxA = 0;                    // hue (or palette) index of the breathing steps
    uint8_t m_effectAuxB = 0;                    // second step counter (the keyboard's music styles)
    uint8_t m_flashOn = 0;                       // flash phase: lit while nonzero
    uint32_t m_flashTick = 0;                    // tick count of the last flash toggle
    std::array<uint8_t, kMaxLeds> m_keyLevel{};  // fade level of the key-reactive effects, per LED
    std::array<uint8_t, kMaxLeds> m_keyHue{};    // colour-wheel index of the per-LED effects
    std::array<uint8_t, kRingSize> m_ring{};     // trigger ring: nonzero marks a lit position

private:
    void FillAll(LedColor color);
    bool FlashToggleDue(const LightSetting& setting, uint32_t now);

    std::unique_ptr<std::atomic<uint32_t>[]> leds_;
    int count_ = 0;
};
