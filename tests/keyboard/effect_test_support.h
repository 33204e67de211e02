#pragma once
// A keyboard page for the effect tests: no device, a clock and a random
// sequence of the test's own, and direct access to its playlist and per-key
// effect list.

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "keyboard/corvane_keyboard_device.h"
#include "link/effect_tables.h"
#include "tests/keyboard/driven_tick_source.h"
#include "tests/keyboard/keyboard_test_support.h"

namespace kbtest {

// Random numbers 0, 1, 2, ... unless told otherwise.
class EffectPage : public CCorvaneKeyboardDevice {
public:
    EffectPage() {
        SetUpPage(*this);
        SetTickSources(&clock, nullptr);
        SetRandomSource([this] { return next_++; });
    }
    ~EffectPage() override { StopLightThreads(); }

    void StartRandomAt(uint32_t first) { next_ = first; }
    // The setting as the steps read it (mode, brightness 5, colour 10, 20, 30).
    LightSetting Set(uint8_t mode, uint8_t colorful = 0, uint8_t direction = 1, uint8_t speed = 4) {
        LightSetting s;
        s.mode = mode;
        s.brightness = 5;
        s.speed = speed;
        s.direction = direction;
        s.colorful = colorful;
        s.red = 10;
        s.green = 20;
        s.blue = 30;
        SetLightSetting(s);
        return s;
    }
    void SetPlaylist(std::vector<LedEffectStep> steps) {
        std::lock_guard<win::CCriticalSection> guard(EffectListLock);
        m_effectList = std::move(steps);
        m_nEffectListCount = int(m_effectList.size());
        m_nEffectListIndex = 0;
    }
    int PlaylistIndex() {
        std::lock_guard<win::CCriticalSection> guard(EffectListLock);
        return m_nEffectListIndex;
    }
    void SetKeyEffects(std::vector<LightSetting> effects) {
        std::lock_guard<win::CCriticalSection> guard(KeyEffectLock);
        m_keyEffects = std::move(effects);
    }
    LedColor Led(int i) { return Leds().GetLed(i); }
    void Fill(LedColor c) {
        for (int i = 0; i < 170; ++i) SetLedColor(i, PackLedColor(c));
    }

    DrivenTickSource clock;

private:
    uint32_t next_ = 0;
};

inline LedColor Wheel(uint8_t hue, uint8_t level) {
    return {ColorWheel[hue].r, ColorWheel[hue].g, ColorWheel[hue].b, level};
}
inline LedColor Rgb(uint8_t r, uint8_t g, uint8_t b, uint8_t level) { return {r, g, b, level}; }
inline uint8_t Shade(uint8_t x, uint8_t full = 255) { return uint8_t((unsigned(full) * x) >> 8); }

}  // namespace kbtest

inline bool operator==(const LedColor& a, const LedColor& b) { return PackLedColor(a) == PackLedColor(b); }
inline std::ostream& operator<<(std::ostream& o, const LedColor& c) {
    return o << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << " @" << int(c.brightness) << ")";
}
