#include "devices/light_sequencer.h"

#include "link/effect_tables.h"

namespace {

enum SequencerMode : uint8_t { kBreathing = 0, kStatic = 1, kFlash = 2, kWave = 4, kColorCycle = 5 };

constexpr int kBreathPhases = 128;
constexpr int kStaticPhases = 9;
constexpr int kHuePhases = 192;
constexpr int kTickWrap = 255;
constexpr uint8_t kFlashHueStride = 14;
constexpr uint8_t kBreathHueStride = 16;
// The speed row of the colour-cycle threshold (8, 5, 3, 1, 0).
constexpr uint8_t kColorCycleRow = 1;

uint32_t Period(uint8_t speed) { return speed < FlashPeriodUnits.size() ? FlashPeriodUnits[speed] : 0; }

void FillAll(LedState& leds, LedColor c) {
    const uint32_t word = PackLedColor(c);
    for (int i = 0; i < leds.GetLedCount(); ++i) leds.SetLedColor(i, word);
}

// phase + 1, 0 when it reaches `wrap`.
int Advance(int phase, int wrap) { return phase + 1 >= wrap ? 0 : phase + 1; }

}  // namespace

void LightSequencer::Run(LedState& leds, Playlist playlist, uint8_t pageSpeed, uint32_t now) {
    {
        win::CriticalSectionGuard lock(playlist.lock);
        const int count = int(playlist.steps.size());
        if (playlist.index >= count || playlist.index < 0) playlist.index = 0;
        if (count == 0) {
            leds.StepLightsOff();
            return;
        }
        const LedEffectStep& s = playlist.steps[size_t(playlist.index)];
        step_ = s.setting;
        duration_ = uint32_t(s.time);
    }
    if (!started_) {
        started_ = true;
        lastSwitch_ = now;
    }
    ++tick_;
    const int T = int(Period(step_.speed));
    switch (step_.mode) {
        case kBreathing:
            if (tick_ >= T) {
                phase_ = Advance(phase_, kBreathPhases);
                if (phase_ == 0) {
                    breathHue_ = uint8_t(breathHue_ + kBreathHueStride);
                    if (breathHue_ >= kHuePhases) breathHue_ = 0;
                }
                tick_ = 0;
                BreathingFrame(leds);
            }
            break;
        case kStatic:
            if (tick_ >= T) {
                phase_ = Advance(phase_, kStaticPhases);
                tick_ = 0;
                leds.RenderStaticFrame(step_, uint8_t(phase_));
            }
            break;
        case kFlash:
            phase_ = Advance(phase_, kBreathPhases);
            if (tick_ >= T) {
                tick_ = 0;
                FlashFrame(leds, pageSpeed, now);
            }
            break;
        case kWave:
            if (tick_ >= T) {
                phase_ = Advance(phase_, kHuePhases);
                tick_ = 0;
                leds.RenderWaveFrame(step_, uint8_t(phase_));
            }
            break;
        case kColorCycle:
            if (tick_ >= SpeedThresholdOf(kColorCycleRow, step_.speed)) {
                phase_ = Advance(phase_, kHuePhases);
                tick_ = 0;
                leds.RenderColorCycleFrame(step_, uint8_t(phase_));
            }
            break;
        default:
            break;
    }
    if (tick_ >= kTickWrap) tick_ = 0;
    if (now - lastSwitch_ > duration_) {
        win::CriticalSectionGuard lock(playlist.lock);
        const int count = int(playlist.steps.size());
        playlist.index = playlist.index + 1 >= count ? 0 : playlist.index + 1;
        lastSwitch_ = now;
    }
}

void LightSequencer::BreathingFrame(LedState& leds) {
    const uint8_t level = uint8_t((unsigned(BreathCurve[size_t(phase_)]) * BrightnessLevelOf(step_.brightness)) >> 8);
    if (step_.colorful) {
        const RgbEntry& e = ColorWheel[breathHue_];
        FillAll(leds, {e.r, e.g, e.b, level});
    } else {
        FillAll(leds, {step_.red, step_.green, step_.blue, level});
    }
}

void LightSequencer::FlashFrame(LedState& leds, uint8_t pageSpeed, uint32_t now) {
    if (now - lastToggle_ >= Period(pageSpeed) * kFlashPeriodUnitMs) {
        flashOn_ = !flashOn_;
        lastToggle_ = now;
        const int hue = phase_ + kFlashHueStride;
        flashHue_ = uint8_t(hue >= kHuePhases ? 0 : hue);
    }
    if (!flashOn_) {
        FillAll(leds, {});
        return;
    }
    const uint8_t level = BrightnessLevelOf(step_.brightness);
    if (step_.colorful) {
        const RgbEntry& e = ColorWheel[flashHue_];
        FillAll(leds, {e.r, e.g, e.b, level});
    } else {
        FillAll(leds, {step_.red, step_.green, step_.blue, level});
    }
}
