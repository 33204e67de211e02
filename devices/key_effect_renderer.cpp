#include "devices/key_effect_renderer.h"

#include <algorithm>

#include "link/effect_tables.h"

namespace {

constexpr uint8_t kBreathPhases = 128;
constexpr uint8_t kLastHue = 191;
constexpr uint8_t kBreathHueCeiling = 192;
constexpr uint8_t kFlashHueStride = 14;
constexpr uint8_t kBreathSpeedBase = 4;

uint8_t Period(uint8_t speed) { return speed < FlashPeriodUnits.size() ? FlashPeriodUnits[speed] : 0; }

LedColor Colour(const LightSetting& e, uint8_t hue, uint8_t level) {
    if (!e.colorful) return {e.red, e.green, e.blue, level};
    const RgbEntry& w = ColorWheel[hue];
    return {w.r, w.g, w.b, level};
}

bool Present(const LightSetting& e) { return e.present != 0; }

}  // namespace

void KeyEffectRenderer::Reset(const std::vector<LightSetting>& effects) {
    ResetBreathing();
    ResetFlash(effects);
    ResetColorCycle(effects);
}

void KeyEffectRenderer::ResetBreathing() {
    breathPhase_.fill(0);
    breathHue_.fill(0);
}

void KeyEffectRenderer::ResetFlash(const std::vector<LightSetting>& effects) {
    const size_t n = std::min(effects.size(), size_t(kLeds));
    for (size_t i = 0; i < n; ++i) {
        flashPeriod_[i] = uint32_t(Period(effects[i].speed)) * kFlashPeriodUnitMs;
        flashToggle_[i] = 0;
        flashOn_[i] = 0;
        flashHue_[i] = 0;
    }
}

void KeyEffectRenderer::ResetColorCycle(const std::vector<LightSetting>& effects) {
    const size_t n = std::min(effects.size(), size_t(kLeds));
    for (size_t i = 0; i < n; ++i) {
        if (!Present(effects[i])) continue;
        cycleThreshold_[i] = Period(effects[i].speed);
        cycleCounter_[i] = 0;
        cycleHue_[i] = 0;
    }
}

int KeyEffectRenderer::Count(const LedState& leds, const std::vector<LightSetting>& effects) {
    return std::min({int(effects.size()), leds.GetLedCount(), kLeds});
}

void KeyEffectRenderer::BreathingPass(LedState& leds, const std::vector<LightSetting>& effects, bool reset) {
    if (reset) ResetBreathing();
    Breathing(leds, effects, Count(leds, effects));
}

void KeyEffectRenderer::FlashPass(LedState& leds, const std::vector<LightSetting>& effects, uint32_t now, bool reset) {
    if (reset) ResetFlash(effects);
    Flash(leds, effects, Count(leds, effects), now);
}

void KeyEffectRenderer::ColorCyclePass(LedState& leds, const std::vector<LightSetting>& effects, bool reset) {
    if (reset) ResetColorCycle(effects);
    ColorCycle(leds, effects, Count(leds, effects));
}

void KeyEffectRenderer::Render(LedState& leds, const std::vector<LightSetting>& effects, uint32_t now) {
    const int n = Count(leds, effects);
    Breathing(leds, effects, n);
    leds.RenderKeyStatic(effects);
    ColorCycle(leds, effects, n);
    Flash(leds, effects, n, now);
    leds.RenderKeyOff(effects);
}

void KeyEffectRenderer::Breathing(LedState& leds, const std::vector<LightSetting>& effects, int n) {
    for (int i = 0; i < n; ++i) {
        const LightSetting& e = effects[size_t(i)];
        if (!Present(e) || e.mode != kBreathing) continue;
        const LedColor c = Colour(e, breathHue_[size_t(i)], 0);
        uint8_t& phase = breathPhase_[size_t(i)];
        phase = uint8_t(phase + e.speed + kBreathSpeedBase);
        if (phase >= kBreathPhases) {
            phase = 0;
            uint8_t& hue = breathHue_[size_t(i)];
            hue = uint8_t(hue + 1);
            if (hue > kBreathHueCeiling) hue = kLastHue;
        }
        const uint8_t level = uint8_t((unsigned(BreathCurve[phase]) * BrightnessLevelOf(e.brightness)) >> 8);
        leds.SetLedColor(i, PackLedColor({c.r, c.g, c.b, level}));
    }
}

void KeyEffectRenderer::ColorCycle(LedState& leds, const std::vector<LightSetting>& effects, int n) {
    for (int i = 0; i < n; ++i) {
        const LightSetting& e = effects[size_t(i)];
        if (!Present(e) || e.mode != kColorCycle) continue;
        uint8_t& counter = cycleCounter_[size_t(i)];
        uint8_t& hue = cycleHue_[size_t(i)];
        counter = uint8_t(counter + 1);
        if (counter >= cycleThreshold_[size_t(i)]) {
            counter = 0;
            hue = uint8_t(hue + 1);
            if (hue > kLastHue) hue = 0;
        }
        const RgbEntry& w = ColorWheel[hue];
        leds.SetLedColor(i, PackLedColor({w.r, w.g, w.b, BrightnessLevelOf(e.brightness)}));
    }
}

void KeyEffectRenderer::Flash(LedState& leds, const std::vector<LightSetting>& effects, int n, uint32_t now) {
    for (int i = 0; i < n; ++i) {
        const LightSetting& e = effects[size_t(i)];
        // The timing runs for every entry, so a flash entry keeps its beat.
        if (now - flashToggle_[size_t(i)] >= flashPeriod_[size_t(i)]) {
            flashOn_[size_t(i)] = !flashOn_[size_t(i)];
            flashToggle_[size_t(i)] = now;
            const int hue = flashHue_[size_t(i)] + kFlashHueStride;
            flashHue_[size_t(i)] = uint8_t(hue > kLastHue ? 0 : hue);
        }
        if (!Present(e) || e.mode != kFlash) continue;
        if (!flashOn_[size_t(i)]) {
            leds.SetLedColor(i, 0);
            continue;
        }
        leds.SetLedColor(i, PackLedColor(Colour(e, flashHue_[size_t(i)], BrightnessLevelOf(e.brightness))));
    }
}
