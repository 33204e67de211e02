#include "devices/mouse_light_effects.h"

#include "devices/corvane_mouse_device.h"
#include "link/effect_tables.h"

namespace {

constexpr std::array<uint32_t, 5> kStepPeriods = {28, 23, 18, 13, 7};
constexpr uint8_t kWaveLength = 96;
constexpr uint8_t kGroupStride = 7;
constexpr uint8_t kWheelStride = 12;
constexpr uint8_t kFadeStep = 15;
constexpr uint8_t kRiseTop = 240;
constexpr int kHeadForward = 0;
constexpr int kHeadBackward = kMouseLedGroups - 1;

uint8_t Scaled(uint8_t level, uint8_t x) { return uint8_t((unsigned(level) * x) >> 8); }

uint32_t Packed(const RgbEntry& e, uint8_t level) { return PackLedColor({e.r, e.g, e.b, level}); }

uint32_t Packed(const LightSetting& s, uint8_t level) { return PackLedColor({s.red, s.green, s.blue, level}); }

// Advances an index along a circle of `length` entries.
unsigned Along(unsigned index, unsigned by, unsigned length) {
    index += by;
    return index >= length ? index - length : index;
}

}  // namespace

uint32_t MouseStepPeriod(uint8_t speed) { return speed < kStepPeriods.size() ? kStepPeriods[speed] : 0; }

void MouseLightEffects::PaintGroup(int g, uint32_t packed) {
    const int count = leds_.GetLedCount();
    for (int led : MouseLedGroupTable[g])
        if (led >= 0 && led < count) leds_.SetLedColor(led, packed);
}

void MouseLightEffects::StepWave(const LightSetting& s) {
    const uint8_t level = BrightnessLevelOf(s.brightness);
    uint8_t& step = step_;
    if (s.colorful) {
        step = LedState::StepCounter(s.direction, kHueCircle, step, 1);
        unsigned h = Along(step, 1, kHueCircle);
        for (int g = 0; g < kMouseLedGroups; ++g) {
            PaintGroup(g, Packed(ColorWheel[h], level));
            h = Along(h, kGroupStride, kHueCircle);
        }
        return;
    }
    step = LedState::StepCounter(s.direction, kWaveLength, step, 1);
    unsigned k = Along(step, 1, kWaveLength);
    for (int g = 0; g < kMouseLedGroups; ++g) {
        PaintGroup(g, Packed(s, Scaled(level, WaveCurve[k])));
        k = Along(k, kGroupStride, kWaveLength);
    }
}

void MouseLightEffects::StepRunningLight(const LightSetting& s, uint8_t modeIndex) {
    uint8_t& step = step_;
    step = LedState::StepCounter(s.direction, kHueCircle, step, 1);
    leds_.IgniteRingLeds();
    leds_.RotateRing(s.direction != 0);
    const uint8_t level = BrightnessLevelOf(s.brightness);
    const int head = s.direction ? kHeadForward : kHeadBackward;
    for (int g = 0; g < kMouseLedGroups; ++g) {
        leds_.FadeLedState(g, modeIndex);
        const uint8_t shown = Scaled(level, leds_.m_keyLevel[size_t(g)]);
        if (!s.colorful) {
            PaintGroup(g, Packed(s, shown));
            continue;
        }
        step = uint8_t(step + kWheelStride);
        const unsigned h = step >= kHueCircle ? step - kHueCircle : step;
        // While the head group still glows the groups keep their colours.
        if (leds_.m_keyLevel[size_t(head)] != 0) {
            LedColor kept = leds_.GetLed(MouseLedGroupTable[g][0]);
            kept.brightness = shown;
            PaintGroup(g, PackLedColor(kept));
        } else {
            PaintGroup(g, Packed(ColorWheel[h], shown));
        }
    }
}

void MouseLightEffects::StepTriggeredFade(const LightSetting& s) {
    const uint8_t level = BrightnessLevelOf(s.brightness);
    const int count = leds_.GetLedCount();
    for (int i = 0; i < count; ++i) {
        std::atomic<uint8_t>& state = triggers_[size_t(i)];
        uint8_t& v = leds_.m_keyLevel[size_t(i)];
        const uint8_t now = state.load();
        if (now == kRising) {
            v = v < kRiseTop ? uint8_t(v + kFadeStep) : uint8_t(255);
            if (v == 255) state.store(kFalling);
        } else if (now == kFalling) {
            v = v > kFadeStep ? uint8_t(v - kFadeStep) : uint8_t(0);
        }
        const uint8_t shown = Scaled(level, v);
        if (s.colorful)
            leds_.SetLedColor(i, Packed(ColorWheel[leds_.m_keyHue[size_t(i)]], shown));
        else
            leds_.SetLedColor(i, Packed(s, shown));
    }
}
