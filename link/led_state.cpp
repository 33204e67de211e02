#include "link/led_state.h"

#include <algorithm>

#include "link/effect_tables.h"

namespace {

// The few fields of a light setting the effects read.
uint8_t LevelOf(const LightSetting& s) { return BrightnessLevelOf(s.brightness); }
LedColor UserColor(const LightSetting& s, uint8_t level) { return {s.red, s.green, s.blue, level}; }
LedColor Rgb(const RgbEntry& e, uint8_t level) { return {e.r, e.g, e.b, level}; }
uint8_t Scaled(uint8_t level, uint8_t curve) { return uint8_t((unsigned(curve) * level) >> 8); }

constexpr int kEffectTypeStatic = 1;
constexpr int kEffectTypeOff = 4;

}  // namespace

void LedState::SetLedCount(int count) {
    count = std::clamp(count, 0, kMaxLeds);
    if (count != count_ || !leds_) {
        leds_ = std::make_unique<std::atomic<uint32_t>[]>(size_t(std::max(count, 1)));
        count_ = count;
    }
    for (int i = 0; i < count_; ++i) leds_[i].store(0, std::memory_order_relaxed);
}

void LedState::SetLedColor(int index, uint32_t packed) {
    if (index >= 0 && index < count_) leds_[index].store(packed, std::memory_order_relaxed);
}

uint32_t LedState::GetLedColor(int index) const {
    if (index < 0 || index >= count_) return 0;
    return leds_[index].load(std::memory_order_relaxed);
}

uint8_t LedState::StepCounter(uint8_t direction, uint8_t limit, uint8_t value, uint8_t step) {
    if (direction) {
        const unsigned next = unsigned(value) + step;
        return next >= limit ? 0 : uint8_t(next);
    }
    const uint8_t next = uint8_t(value - step);
    return next >= limit ? uint8_t(limit - step) : next;
}

void LedState::FillAll(LedColor color) {
    const uint32_t word = PackLedColor(color);
    for (int i = 0; i < count_; ++i) leds_[i].store(word, std::memory_order_relaxed);
}

int LedState::StepBreathing(const LightSetting& s) {
    m_effectStep = StepCounter(s.direction, 128, m_effectStep, 1);
    if (m_effectStep == 0) {
        m_effectAuxA = uint8_t(m_effectAuxA + 16);
        if (m_effectAuxA > 192) m_effectAuxA = 0;  // 192 itself shows, and equals hue 0
    }
    const uint8_t level = Scaled(LevelOf(s), BreathCurve[m_effectStep & 127]);
    FillAll(s.colorful ? Rgb(ColorWheel[m_effectAuxA], level) : UserColor(s, level));
    return count_;
}

int LedState::StepBreathingPalette(const LightSetting& s) {
    m_effectStep = StepCounter(s.direction, 128, m_effectStep, 1);
    if (m_effectStep == 0) {
        m_effectAuxA = uint8_t(m_effectAuxA + 1);
        if (m_effectAuxA >= PaletteColors.size()) m_effectAuxA = 0;
    }
    const uint8_t level = Scaled(LevelOf(s), BreathCurve[m_effectStep & 127]);
    // Another mode may have left the index anywhere: the palette is read modulo its size.
    FillAll(Rgb(PaletteColors[m_effectAuxA % PaletteColors.size()], level));
    return count_;
}

int LedState::StepStatic(const LightSetting& s) {
    FillAll(UserColor(s, LevelOf(s)));
    return count_;
}

int LedState::StepSpectrum(const LightSetting& s) {
    m_effectStep = StepCounter(s.direction, 192, m_effectStep, 1);
    FillAll(Rgb(ColorWheel[m_effectStep], LevelOf(s)));
    return count_;
}

bool LedState::FlashToggleDue(const LightSetting& s, uint32_t now) {
    if (now - m_flashTick < FlashPeriodMsOf(s.speed)) return false;
    m_flashOn = !m_flashOn;
    m_flashTick = now;
    return true;
}

int LedState::StepFlash(const LightSetting& s, uint32_t now) {
    if (FlashToggleDue(s, now)) {
        m_effectStep = uint8_t(m_effectStep + 16);
        if (m_effectStep >= 192) m_effectStep = 0;
    }
    if (!m_flashOn) {
        FillAll({});
    } else {
        FillAll(s.colorful ? Rgb(ColorWheel[m_effectStep], LevelOf(s)) : UserColor(s, LevelOf(s)));
    }
    return count_;
}

int LedState::StepFlashPalette(const LightSetting& s, uint32_t now) {
    if (FlashToggleDue(s, now)) {
        m_effectStep = uint8_t(m_effectStep + 1);
        if (m_effectStep >= PaletteColors.size()) m_effectStep = 0;
    }
    if (!m_flashOn) {
        FillAll({});
    } else {
        FillAll(Rgb(PaletteColors[m_effectStep % PaletteColors.size()], LevelOf(s)));
    }
    return count_;
}

int LedState::StepLightsOff() {
    FillAll({});
    return count_;
}

void LedState::FadeLedState(int led, int mode) {
    if (led < 0 || led >= kMaxLeds) return;
    const uint8_t v = m_keyLevel[led];
    int decay = 0;
    if (mode == 21) {
        if (v & 0x90)
            decay = 45;
        else if (v & 0x70)
            decay = 35;
        else if (v)
            decay = 1;
    } else {
        const int third = mode == 0 ? 15 : 10;
        if (v & 0x80)
            decay = 40;
        else if (v & 0x40)
            decay = 30;
        else if (v & 0x20)
            decay = third;
        else if (v > 16)
            decay = 8;
        else if (v)
            decay = 1;
    }
    // A fade ends dark: it never wraps below zero back to a bright level.
    m_keyLevel[led] = uint8_t(std::max(0, int(v) - decay));
}

void LedState::IgniteRingLeds() {
    for (int i = 0; i < 9; ++i) {
        if (m_ring[i]) m_keyLevel[i] = 255;
    }
}

void LedState::RotateWaveRing(int length, bool up) {
    length = std::clamp(length, 0, kRingSize);
    if (length < 2) return;
    if (up) {
        std::rotate(m_ring.begin(), m_ring.begin() + (length - 1), m_ring.begin() + length);
    } else {
        std::rotate(m_ring.begin(), m_ring.begin() + 1, m_ring.begin() + length);
    }
}

void LedState::RotateRing(bool up) { RotateWaveRing(kRingSize, up); }

void LedState::ClearFadeState() {
    m_keyLevel.fill(0);
    m_ring.fill(0);
}

void LedState::RenderWaveFrame(const LightSetting& s, uint8_t h) {
    unsigned hue;
    if (!s.direction) {
        hue = unsigned(h) + 1;
        if (hue >= 192) hue = 0;
    } else {
        hue = 192u - h;
        if (hue == 192) hue = 191;
    }
    hue &= 0xFF;  // a counter above 192 (left by another mode) stays inside the wheel
    const uint8_t level = LevelOf(s);
    if (s.colorful) {
        for (int i = 0; i < count_; ++i) {
            leds_[i].store(PackLedColor(Rgb(ColorWheel[hue], level)), std::memory_order_relaxed);
            hue += 12;
            if (hue >= 192) hue -= 192;
        }
        return;
    }
    unsigned wave = hue;
    for (int i = 0; i < count_; ++i) {
        wave = (wave + 12) % 96;
        leds_[i].store(PackLedColor(UserColor(s, Scaled(level, WaveCurve[wave]))), std::memory_order_relaxed);
    }
}

void LedState::RenderStaticFrame(const LightSetting& s, uint8_t /*step*/) { FillAll(UserColor(s, LevelOf(s))); }

void LedState::RenderColorCycleFrame(const LightSetting& s, uint8_t h) { FillAll(Rgb(ColorWheel[h], LevelOf(s))); }

void LedState::RenderKeyStatic(const std::vector<LightSetting>& effects) {
    const int n = std::min<int>(count_, int(effects.size()));
    for (int i = 0; i < n; ++i) {
        if (effects[i].mode == kEffectTypeStatic) {
            SetLedColor(i, PackLedColor(UserColor(effects[i], LevelOf(effects[i]))));
        }
    }
}

void LedState::RenderKeyOff(const std::vector<LightSetting>& effects) {
    const int n = std::min<int>(count_, int(effects.size()));
    for (int i = 0; i < n; ++i) {
        if (effects[i].mode == kEffectTypeOff) SetLedColor(i, 0);
    }
}
