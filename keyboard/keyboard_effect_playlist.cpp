// The keyboard's effect playlist (modes 0, 28 and above 30) with its frame
// generators, and the per-key effects drawn over every rendered pass. The
// player and the per-key states belong to the page. Light thread, under the
// page's effect lock; the lists themselves under their own locks.
#include <algorithm>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/keyboard_effect_paint.h"

using namespace keyboard_fx;

namespace {

enum StepKind : uint8_t { kBreathing = 0, kStatic = 1, kFlash = 2, kWave = 4, kColorCycle = 5 };
enum KeyEffectType : uint8_t { kKeyBreathing = 0, kKeyColorCycle = 3, kKeyFlash = 2 };

constexpr int kBreathPhases = 128;
constexpr int kStaticPhases = 9;
constexpr int kWheelPhases = 192;
constexpr int kTickWrap = 255;
constexpr uint8_t kBreathHueStep = 16;
constexpr uint8_t kFlashHueStep = 14;
constexpr uint8_t kColorCycleRow = 1;

// P + 1, back to 0 past the last phase.
int NextPhase(int phase, int phases) { return phase + 1 >= phases ? 0 : phase + 1; }

int OverlayCount(const std::vector<LightSetting>& effects) { return std::min<int>(int(effects.size()), kLeds); }

}  // namespace

void CCorvaneKeyboardDevice::RunEffectPlaylist() {
    PlaylistPlayerState& p = m_effects.m_player;
    {
        std::lock_guard<win::CCriticalSection> guard(EffectListLock);
        const int count = std::min<int>(m_nEffectListCount, int(m_effectList.size()));
        if (m_nEffectListIndex >= count || m_nEffectListIndex < 0) m_nEffectListIndex = 0;
        if (count <= 0) {
            StepLightsOff();
            return;
        }
        p.step = m_effectList[size_t(m_nEffectListIndex)].setting;
        p.duration = m_effectList[size_t(m_nEffectListIndex)].time;
    }
    const uint32_t now = EffectNow();
    if (!p.started) {
        p.started = true;
        p.switchedAt = now;
    }
    ++p.ticks;
    const bool due = SpeedPeriodOf(p.step.speed) <= p.ticks;
    switch (p.step.mode) {
        case kBreathing:
            if (due) {
                p.phase = NextPhase(p.phase, kBreathPhases);
                // Each breath takes the next colour of the wheel.
                if (p.phase == 0) {
                    p.breathHue = uint8_t(p.breathHue + kBreathHueStep);
                    if (p.breathHue > 192) p.breathHue = 0;
                }
                p.ticks = 0;
                RenderPlaylistBreathing(p.step, p.phase);
            }
            break;
        case kStatic:
            if (due) {
                p.phase = NextPhase(p.phase, kStaticPhases);
                p.ticks = 0;
                RenderStaticFrame(p.step, uint8_t(p.phase));
            }
            break;
        case kFlash:
            p.phase = NextPhase(p.phase, kBreathPhases);
            if (due) p.ticks = 0;
            RenderPlaylistFlash(p.step, p.phase);
            break;
        case kWave:
            if (due) {
                p.phase = NextPhase(p.phase, kWheelPhases);
                p.ticks = 0;
                RenderWaveFrame(p.step, uint8_t(p.phase));
            }
            break;
        case kColorCycle:
            if (SpeedThresholdOf(kColorCycleRow, p.step.speed) <= p.ticks) {
                p.phase = NextPhase(p.phase, kWheelPhases);
                p.ticks = 0;
                RenderColorCycleFrame(p.step, uint8_t(p.phase));
            }
            break;
        default:
            break;  // kind 3 and unknown kinds draw nothing
    }
    if (p.ticks == kTickWrap) p.ticks = 0;
    if (uint32_t(now - p.switchedAt) > uint32_t(p.duration)) {
        std::lock_guard<win::CCriticalSection> guard(EffectListLock);
        const int count = std::min<int>(m_nEffectListCount, int(m_effectList.size()));
        if (++m_nEffectListIndex >= count) m_nEffectListIndex = 0;
        p.switchedAt = now;
    }
}

void CCorvaneKeyboardDevice::RenderPlaylistBreathing(const LightSetting& step, int phase) {
    const uint8_t level = Shade(BrightnessLevelOf(step.brightness), BreathCurve[size_t(phase) % BreathCurve.size()]);
    const LedColor color = step.colorful ? WheelColor(m_effects.m_player.breathHue, level) : SettingColor(step, level);
    for (int i = 0; i < kLeds; ++i) Put(m_leds, i, color);
}

void CCorvaneKeyboardDevice::RenderPlaylistFlash(const LightSetting& step, int phase) {
    PlaylistPlayerState& p = m_effects.m_player;
    const uint32_t now = EffectNow();
    // The flash period follows the page's speed, not the step's.
    if (now - p.flashTick >= FlashPeriodMsOf(CurrentLightSetting().speed)) {
        p.flashOn = !p.flashOn;
        p.flashTick = now;
        p.flashHue = phase + kFlashHueStep > 191 ? 0 : uint8_t(phase + kFlashHueStep);
    }
    const uint8_t full = BrightnessLevelOf(step.brightness);
    const LedColor color = !p.flashOn      ? LedColor{}
                           : step.colorful ? WheelColor(p.flashHue, full)
                                           : SettingColor(step, full);
    for (int i = 0; i < kLeds; ++i) Put(m_leds, i, color);
}

// --- Per-key effects ---------------------------------------------------------------

void CCorvaneKeyboardDevice::ApplyKeyOverlays() {
    win::CriticalSectionGuard lock(m_effectLock);
    std::lock_guard<win::CCriticalSection> guard(KeyEffectLock);
    RenderKeyBreathing(m_keyEffects, false);
    RenderKeyStatic(m_keyEffects);
    RenderKeyColorCycle(m_keyEffects, false);
    RenderKeyFlash(m_keyEffects, false);
    RenderKeyOff(m_keyEffects);
}

void CCorvaneKeyboardDevice::RenderKeyBreathing(const std::vector<LightSetting>& effects, bool reset) {
    win::CriticalSectionGuard lock(m_effectLock);
    KeyOverlayState& o = m_effects.m_overlays;
    if (reset) {
        o.breathPhase.fill(0);
        o.breathHue.fill(0);
    }
    const int n = OverlayCount(effects);
    for (int i = 0; i < n; ++i) {
        const LightSetting& e = effects[size_t(i)];
        if (!e.present || e.mode != kKeyBreathing) continue;
        uint8_t& phase = o.breathPhase[size_t(i)];
        uint8_t& hue = o.breathHue[size_t(i)];
        const LedColor color = e.colorful ? WheelColor(hue, 0) : SettingColor(e, 0);
        const int next = phase + 4 + e.speed;
        phase = uint8_t(next);
        if (next > 127) {
            phase = 0;
            hue = uint8_t(hue + 1);
            if (hue > 192) hue = 191;
        }
        Put(m_leds, i, {color.r, color.g, color.b, Shade(BrightnessLevelOf(e.brightness), BreathCurve[phase])});
    }
}

void CCorvaneKeyboardDevice::RenderKeyColorCycle(const std::vector<LightSetting>& effects, bool reset) {
    win::CriticalSectionGuard lock(m_effectLock);
    KeyOverlayState& o = m_effects.m_overlays;
    const int n = OverlayCount(effects);
    for (int i = 0; i < n; ++i) {
        const LightSetting& e = effects[size_t(i)];
        if (!e.present) continue;
        const size_t k = size_t(i);
        if (reset) {
            o.cycleHue[k] = 0;
            o.cycleCount[k] = 0;
            o.cycleLimit[k] = SpeedPeriodOf(e.speed);
        }
        if (e.mode != kKeyColorCycle) continue;
        if (++o.cycleCount[k] >= o.cycleLimit[k]) {
            o.cycleCount[k] = 0;
            o.cycleHue[k] = o.cycleHue[k] + 1 > 191 ? 0 : uint8_t(o.cycleHue[k] + 1);
        }
        Put(m_leds, i, WheelColor(o.cycleHue[k], BrightnessLevelOf(e.brightness)));
    }
}

void CCorvaneKeyboardDevice::RenderKeyFlash(const std::vector<LightSetting>& effects, bool reset) {
    win::CriticalSectionGuard lock(m_effectLock);
    KeyOverlayState& o = m_effects.m_overlays;
    const uint32_t now = EffectNow();
    const int n = OverlayCount(effects);
    for (int i = 0; i < n; ++i) {
        const LightSetting& e = effects[size_t(i)];
        const size_t k = size_t(i);
        if (reset) {
            o.flashTick[k] = 0;
            o.flashHue[k] = 0;
            o.flashOn[k] = 0;
            o.flashPeriod[k] = FlashPeriodMsOf(e.speed);
        }
        // Every record's timer runs; only present flash records are drawn.
        if (now - o.flashTick[k] >= o.flashPeriod[k]) {
            o.flashOn[k] = !o.flashOn[k];
            o.flashTick[k] = now;
            o.flashHue[k] = o.flashHue[k] + kFlashHueStep > 191 ? 0 : uint8_t(o.flashHue[k] + kFlashHueStep);
        }
        if (!e.present || e.mode != kKeyFlash) continue;
        const uint8_t full = BrightnessLevelOf(e.brightness);
        Put(m_leds, i,
            !o.flashOn[k] ? LedColor{}
            : e.colorful  ? WheelColor(o.flashHue[k], full)
                          : SettingColor(e, full));
    }
}
