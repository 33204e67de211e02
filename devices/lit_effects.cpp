#include "devices/lit_effects.h"

#include "link/effect_tables.h"

namespace {

constexpr uint8_t kHueCircle = 192;
constexpr uint8_t kWaveLength = 96;
constexpr int kRunningRingPlaces = 8;
constexpr int kRingTicks = 2;
constexpr uint8_t kWheelStride = 12;

uint8_t Scaled(uint8_t level, uint8_t x) { return uint8_t((unsigned(level) * x) >> 8); }

}  // namespace

void LitEffects::StepWave(const LightSetting& s) {
    const uint8_t level = BrightnessLevelOf(s.brightness);
    const int count = leds_.GetLedCount();
    uint8_t& counter = leds_.m_effectStep;
    if (s.colorful) {
        counter = LedState::StepCounter(s.direction, kHueCircle, counter, 1);
        unsigned w = (counter + 1u) % kHueCircle;
        for (int i = 0; i < count; ++i) {
            const RgbEntry& e = ColorWheel[w];
            leds_.SetLedColor(i, PackLedColor({e.r, e.g, e.b, level}));
            w += shape_.waveHueStride;
            if (w >= kHueCircle) w -= kHueCircle;
        }
        return;
    }
    counter = LedState::StepCounter(s.direction, kWaveLength, counter, shape_.waveCounterStep);
    // A counter left above the curve by another mode starts inside it.
    unsigned k = (counter + (shape_.waveLevelFromNext ? 1u : 0u)) % kWaveLength;
    for (int i = 0; i < count; ++i) {
        leds_.SetLedColor(i, PackLedColor({s.red, s.green, s.blue, Scaled(level, WaveCurve[k])}));
        k += shape_.waveLevelStride;
        if (k >= kWaveLength) k -= kWaveLength;
    }
}

void LitEffects::IgniteRingLeds() {
    const int n = std::min(leds_.GetLedCount(), LedState::kRingSize);
    for (int i = 0; i < n; ++i)
        if (leds_.m_ring[size_t(i)]) leds_.m_keyLevel[size_t(i)] = 255;
}

void LitEffects::SeedRing() {
    leds_.ClearFadeState();
    leds_.m_ring[0] = 1;
}

uint8_t LitEffects::NextWheelIndex() {
    uint8_t& counter = leds_.m_effectStep;
    counter = uint8_t(counter + kWheelStride);
    return counter >= kHueCircle ? uint8_t(counter - kHueCircle) : counter;
}

LedColor LitEffects::ChooseColor(const LightSetting& s, int keep) {
    if (!s.colorful) return {s.red, s.green, s.blue, 0};
    const uint8_t w = NextWheelIndex();
    const int tested = s.direction ? 0 : leds_.GetLedCount() - 1;
    if (tested >= 0 && leds_.m_keyLevel[size_t(tested)] != 0) return leds_.GetLed(keep);
    const RgbEntry& e = ColorWheel[w];
    return {e.r, e.g, e.b, 0};
}

void LitEffects::StepRunningLight(const LightSetting& s, uint8_t modeIndex) {
    leds_.m_effectStep = LedState::StepCounter(s.direction, kHueCircle, leds_.m_effectStep, 1);
    if (tick_ >= kRingTicks) {
        tick_ = 0;
        IgniteRingLeds();
        leds_.RotateWaveRing(kRunningRingPlaces, s.direction == 0);
    }
    ++tick_;
    const uint8_t level = BrightnessLevelOf(s.brightness);
    const int count = leds_.GetLedCount();
    for (size_t p = 0; p < MirrorLedPairs.size(); ++p) {
        leds_.FadeLedState(int(p), modeIndex);
        const auto [first, second] = MirrorLedPairs[p];
        LedColor c = ChooseColor(s, first);
        c.brightness = Scaled(level, leds_.m_keyLevel[p]);
        if (first < count) leds_.SetLedColor(first, PackLedColor(c));
        if (second < count) leds_.SetLedColor(second, PackLedColor(c));
    }
}

void LitEffects::StepRingChase(const LightSetting& s, uint8_t modeIndex) {
    leds_.m_effectStep = LedState::StepCounter(s.direction, kHueCircle, leds_.m_effectStep, 1);
    if (tick_ >= kRingTicks) {
        tick_ = 0;
        IgniteRingLeds();
        leds_.RotateWaveRing(LedState::kRingSize, s.direction != 0);
    }
    ++tick_;
    const uint8_t level = BrightnessLevelOf(s.brightness);
    const int count = leds_.GetLedCount();
    for (int i = 0; i < count; ++i) {
        leds_.FadeLedState(i, modeIndex);
        LedColor c = ChooseColor(s, i);
        c.brightness = Scaled(level, leds_.m_keyLevel[size_t(i)]);
        leds_.SetLedColor(i, PackLedColor(c));
    }
}
