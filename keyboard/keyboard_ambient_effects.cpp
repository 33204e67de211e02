// The keyboard's ambient lighting effects: whole-keyboard, column, row, ring
// and sequence effects, per-key breathing, sparkle, running and sweeping
// effects, the scripted pair sequence and the self-renewing ripples, with the
// entry hooks that prepare them. The light thread calls them under the
// page's effect lock.
#include <algorithm>
#include <array>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/keyboard_effect_paint.h"
#include "link/keyboard_effect_tables.h"

using namespace keyboard_fx;

namespace {

// The first 126 entries of KeySequence hold its 97 keys.
constexpr int kSequenceWalk = 126;
constexpr uint8_t kStaticRingStartHue = 150;
constexpr uint8_t kRingHueStep = 12;
constexpr uint8_t kColumnHueStep = 7;

// Whether each byte occurs in KeySequence.
const std::array<bool, 256>& SequenceKeys() {
    static const std::array<bool, 256> found = [] {
        std::array<bool, 256> f{};
        for (uint8_t n : KeySequence) f[n] = true;
        return f;
    }();
    return found;
}

template <class Paint>
void ForColumnKeys(int column, Paint paint) {
    for (uint8_t n : KeyMatrix[size_t(column)])
        if (IsKey(n)) paint(n);
}

template <class Paint>
void ForRowKeys(int row, Paint paint) {
    for (const auto& column : KeyMatrix)
        if (IsKey(column[size_t(row)])) paint(column[size_t(row)]);
}

template <class Paint>
void ForSequenceKeys(int count, Paint paint) {
    for (int i = 0; i < count; ++i)
        if (IsKey(KeySequence[size_t(i)])) paint(KeySequence[size_t(i)]);
}

}  // namespace

uint8_t CCorvaneKeyboardDevice::FindSequenceKey(uint8_t key) { return SequenceKeys()[key] ? key : kNoKeySequenceEntry; }

// --- Whole-keyboard and matrix effects -----------------------------------------

int CCorvaneKeyboardDevice::StepStatic() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    if (!s.colorful) {
        for (int i = 0; i < kLeds; ++i) Put(m_leds, i, SettingColor(s, full));
        return kLeds;
    }
    uint8_t hue = kStaticRingStartHue;
    for (const auto& ring : RingMatrix) {
        hue = uint8_t(hue - kRingHueStep);
        for (uint8_t n : ring)
            if (IsKey(n)) Put(m_leds, n, WheelColor(hue, full));
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::StepBreathing() {
    const LightSetting s = CurrentLightSetting();
    // The direction is not used: a breath always runs forwards.
    m_leds.m_effectStep = uint8_t(m_leds.m_effectStep + 1 >= 128 ? 0 : m_leds.m_effectStep + 1);
    const uint8_t level = Shade(BrightnessLevelOf(s.brightness), BreathCurve[m_leds.m_effectStep]);
    for (int c = 0; c < kMatrixColumns; ++c) {
        const LedColor color = s.colorful ? WheelColor(uint8_t(kColumnHueStep * c), level) : SettingColor(s, level);
        ForColumnKeys(c, [&](uint8_t n) { Put(m_leds, n, color); });
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::StepColumnWave() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    if (s.colorful) {
        m_leds.m_effectStep = StepCounter(s.direction, 192, m_leds.m_effectStep, 1);
        uint8_t h = AddMod(m_leds.m_effectStep, 1, 192);
        for (int c = 0; c < kMatrixColumns; ++c) {
            ForColumnKeys(c, [&](uint8_t n) { Put(m_leds, n, WheelColor(h, full)); });
            h = AddMod(h, kColumnHueStep, 192);
        }
        return kLeds;
    }
    m_leds.m_effectStep = StepCounter(s.direction, 96, m_leds.m_effectStep, 1);
    uint8_t k = AddMod(m_leds.m_effectStep, 1, 96);
    for (int c = 0; c < kMatrixColumns; ++c) {
        ForColumnKeys(c, [&](uint8_t n) { Put(m_leds, n, SettingColor(s, Shade(full, WaveCurve[k]))); });
        k = AddMod(k, kColumnHueStep, 96);
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::StepColumnSpectrum() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    if (s.colorful) {
        m_leds.m_effectStep = StepCounter(s.direction, 192, m_leds.m_effectStep, 1);
        uint8_t h = m_leds.m_effectStep;
        for (int c = 0; c < kMatrixColumns; ++c) {
            ForColumnKeys(c, [&](uint8_t n) { Put(m_leds, n, WheelColor(h, full)); });
            h = AddMod(h, 2, 192);
        }
        return kLeds;
    }
    m_leds.m_effectStep = StepCounter(s.direction, 96, m_leds.m_effectStep, 1);
    uint8_t k = AddMod(m_leds.m_effectStep, 0, 96);
    for (int c = 0; c < kMatrixColumns; ++c) {
        ForColumnKeys(c, [&](uint8_t n) { Put(m_leds, n, SettingColor(s, Shade(full, PulseCurve[k]))); });
        k = AddMod(k, 1, 96);
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::StepRowWave() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    m_leds.m_effectStep = StepCounter(s.direction, 192, m_leds.m_effectStep, 1);
    uint8_t h = AddMod(m_leds.m_effectStep, 1, 192);
    for (int r = 0; r < kMatrixRows; ++r) {
        ForRowKeys(r, [&](uint8_t n) { Put(m_leds, n, WheelColor(h, full)); });
        h = AddMod(h, 24, 192);
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::StepSequenceFlow() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    if (s.colorful) {
        m_leds.m_effectStep = StepCounter(s.direction, 192, m_leds.m_effectStep, 1);
        uint8_t h = m_leds.m_effectStep;
        ForSequenceKeys(kSequenceWalk, [&](uint8_t n) {
            Put(m_leds, n, WheelColor(h, full));
            h = AddMod(h, 5, 192);
        });
        return kLeds;
    }
    m_leds.m_effectStep = StepCounter(s.direction, 96, m_leds.m_effectStep, 1);
    uint8_t k = AddMod(m_leds.m_effectStep, 0, 96);
    ForSequenceKeys(kSequenceWalk, [&](uint8_t n) {
        Put(m_leds, n, SettingColor(s, Shade(full, WaveCurve[k])));
        k = AddMod(k, 5, 96);
    });
    return kLeds;
}

int CCorvaneKeyboardDevice::StepRings() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    m_leds.m_effectStep = StepCounter(s.direction, 192, m_leds.m_effectStep, 1);
    uint8_t h = m_leds.m_effectStep;
    for (const auto& ring : RingMatrix) {
        h = AddMod(h, kColumnHueStep, 192);
        for (uint8_t n : ring)
            if (IsKey(FindSequenceKey(n))) Put(m_leds, n, WheelColor(h, full));
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::StepFxColor() {
    // The sub-mode comes from the page's copy of the setting, which the profile
    // operations keep equal to the document's: the document belongs to the UI thread.
    const LightSetting s = CurrentLightSetting();
    uint8_t hue = 174;
    switch (s.subMode) {
        case 1:
            hue = 25;
            break;
        case 2:
            hue = 70;
            break;
        case 3:
            hue = 95;
            break;
        default:
            break;
    }
    m_leds.m_effectStep = hue;
    const LedColor color = WheelColor(hue, BrightnessLevelOf(s.brightness));
    for (int i = 0; i < kLeds; ++i) Put(m_leds, i, color);
    return kLeds;
}

void CCorvaneKeyboardDevice::InitColorOffsets() {
    win::CriticalSectionGuard lock(m_effectLock);
    unsigned v = 0;
    for (int i = 0; i < kLeds; ++i) {
        v += 33;
        if (v > 192) v -= 192;  // 192 itself stays: the same colour as 0
        m_leds.m_keyHue[size_t(i)] = uint8_t(v);
    }
}

int CCorvaneKeyboardDevice::StepKeyColorCycle() {
    const uint8_t full = BrightnessLevelOf(CurrentLightSetting().brightness);
    for (int i = 0; i < kLeds; ++i) {
        uint8_t& hue = m_leds.m_keyHue[size_t(i)];
        hue = hue + 1 > 191 ? 0 : uint8_t(hue + 1);
        Put(m_leds, i, WheelColor(hue, full));
    }
    return kLeds;
}

// --- Per-key breathing ---------------------------------------------------------

void CCorvaneKeyboardDevice::InitKeyBreathing() {
    win::CriticalSectionGuard lock(m_effectLock);
    for (int c = 0; c < kMatrixColumns; ++c) {
        for (int r = 0; r < kMatrixRows + 1; ++r) {
            const uint8_t n = KeyMatrix7[size_t(c)][size_t(r)];
            const size_t seed = size_t(6 * c + r);
            if (!IsKey(n) || seed >= PhaseSeed.size()) continue;
            m_leds.m_keyLevel[n] = PhaseSeed[seed];
            m_leds.m_keyHue[n] = uint8_t(kColumnHueStep * c);
        }
    }
}

void CCorvaneKeyboardDevice::BreatheSequenceKeys(int count, std::array<uint8_t, 170>& phases, uint8_t advance) {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    ForSequenceKeys(count, [&](uint8_t n) {
        uint8_t& phase = phases[n];
        phase = uint8_t(phase + advance);
        // Each new breath of a key takes a colour of its own.
        if (phase > 191) {
            phase = 0;
            m_leds.m_keyHue[n] = uint8_t(Random() % 192);
        }
        const uint8_t shade = Shade(full, PulseCurve[phase]);
        Put(m_leds, n, s.colorful ? WheelColor(m_leds.m_keyHue[n], shade) : SettingColor(s, shade));
    });
}

int CCorvaneKeyboardDevice::StepRandomBreathing() {
    BreatheSequenceKeys(kSequenceWalk, m_leds.m_keyLevel, 2);
    return kLeds;
}

void CCorvaneKeyboardDevice::InitPhasedBreathing() {
    win::CriticalSectionGuard lock(m_effectLock);
    for (int c = 0; c < kMatrixColumns; ++c) {
        uint8_t v = uint8_t(192 - 8 * c);
        for (int r = 0; r < kMatrixRows + 1; ++r) {
            v = uint8_t(v - 35);
            if (v >= 192) v = uint8_t(v - 63);
            const uint8_t n = KeyMatrix7[size_t(c)][size_t(r)];
            if (!IsKey(n)) continue;
            m_effects.m_keyPhase[n] = v;
            m_leds.m_keyHue[n] = uint8_t(kColumnHueStep * c);
        }
    }
}

int CCorvaneKeyboardDevice::StepPhasedBreathing() {
    BreatheSequenceKeys(int(KeySequence.size()), m_effects.m_keyPhase, 1);
    return kLeds;
}

// --- Sparkle, running and sweeping effects -------------------------------------

int CCorvaneKeyboardDevice::StepStarlight() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    for (int draw = 0; draw < 6; ++draw) {
        const uint8_t n = KeySequence[StarPerm[Random() % StarPerm.size()]];
        if (!IsKey(n)) continue;  // a draw without a key lights nothing
        m_leds.m_keyHue[n] = uint8_t(Random() % 192);
        m_leds.m_keyLevel[n] = 255;
    }
    for (int i = 0; i < kLeds; ++i) {
        m_leds.FadeLedState(i, 7);
        PaintLevel(m_leds, s, full, i);
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::StepRunningKeys() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    uint8_t& step = m_leds.m_effectStep;
    auto light = [&](uint8_t n) {
        if (IsKey(n)) m_leds.m_keyLevel[n] = 254;
    };
    if (s.direction) {
        if (step < RunOrder.size()) {
            light(RunOrder[step]);
            ++step;
        } else {
            step = 0;  // an empty step before the run starts again
        }
    } else if (step == 0) {
        step = uint8_t(RunOrder.size());
    } else {
        // A counter another mode left above the table starts from its end.
        step = uint8_t(std::min<size_t>(step, RunOrder.size()) - 1);
        light(RunOrder[step]);
    }
    ForSequenceKeys(int(KeySequence.size()), [&](uint8_t n) {
        m_leds.FadeLedState(n, 29);
        PaintLevel(m_leds, s, full, n);
    });
    return kLeds;
}

int CCorvaneKeyboardDevice::StepSweep() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    m_leds.m_effectStep = StepCounter(s.direction, uint8_t(SweepTable.size()), m_leds.m_effectStep, 1);
    for (uint8_t n : SweepTable[m_leds.m_effectStep % SweepTable.size()]) {
        if (!IsKey(n)) continue;
        m_leds.m_keyLevel[n] = 255;
        m_leds.m_keyHue[n] = 0;
    }
    for (int i = 0; i < kLeds; ++i) {
        uint8_t& level = m_leds.m_keyLevel[size_t(i)];
        uint8_t& hue = m_leds.m_keyHue[size_t(i)];
        level = level < 5 ? 0 : uint8_t(level - 5);
        hue = hue > 252 ? 255 : uint8_t(hue + 3);
        Put(m_leds, i, s.colorful ? WheelColor(hue, full) : SettingColor(s, Shade(full, level)));
    }
    return kLeds;
}

// --- Scripted and self-renewing ripples ----------------------------------------

int CCorvaneKeyboardDevice::StepPairSequence() {
    constexpr uint8_t kMode = 11;
    constexpr int kPairSteps = 31;
    constexpr uint8_t kHoldKey = 72;
    constexpr uint8_t kRippleKey = 52;
    constexpr uint8_t kRippleEndKey = 105;
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    uint8_t& step = m_leds.m_effectStep;
    uint8_t& phase = m_effects.m_effectPhase;
    auto light = [&](uint8_t n) {
        if (!IsKey(n)) return;
        m_leds.m_keyLevel[n] = 255;
        if (s.colorful) m_leds.m_keyHue[n] = uint8_t(Random() % 192);
    };
    switch (phase) {
        case 0:
            for (uint8_t n : RowSequence[step % RowSequence.size()]) light(n);
            if (++step >= RowSequence.size()) {
                step = 0;
                phase = 1;
            }
            break;
        case 1:
            if (step < kPairSteps) {
                for (uint8_t n : PairTable[step % PairTable.size()]) light(n);
                ++step;
            } else if (m_leds.m_keyLevel[kHoldKey] == 0) {
                step = 0;
                phase = 2;
            }
            break;
        case 2:
            SeedRippleAtKey(kRippleKey, 1);
            phase = 3;
            break;
        case 3:
            LightRippleBits();
            ShiftRippleBits();
            if (m_leds.m_keyLevel[kRippleEndKey] != 0) phase = 4;
            break;
        default:
            if (m_leds.m_keyLevel[kRippleEndKey] == 0) {
                phase = 0;
                step = 0;
            }
            break;
    }
    for (int i = 0; i < kLeds; ++i) {
        m_leds.FadeLedState(i, kMode);
        PaintLevel(m_leds, s, full, i);
    }
    return kLeds;
}

namespace {

constexpr int kCentreColumn = 9;
constexpr int kLeftColumn = 1;
constexpr int kRightColumn = kMatrixColumns - 1;
constexpr uint8_t kTopRowBit = 0x01;
constexpr uint8_t kLowRowBit = 0x40;

using RipplePlanes = std::array<std::array<uint8_t, kMatrixColumns>, 4>;

uint8_t ColumnBits(const RipplePlanes& planes, int column) {
    uint8_t bits = 0;
    for (const auto& plane : planes) bits |= plane[size_t(column)];
    return bits;
}

void SetColumnBit(RipplePlanes& planes, int column, uint8_t bit) {
    for (auto& plane : planes) plane[size_t(column)] |= bit;
}

}  // namespace

void CCorvaneKeyboardDevice::SeedRippleCentre() {
    win::CriticalSectionGuard lock(m_effectLock);
    SetColumnBit(m_effects.m_rippleBits, kCentreColumn, kLowRowBit);
}

int CCorvaneKeyboardDevice::StepRippleFromCentre() {
    constexpr uint8_t kMode = 12;
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    const uint8_t bits = ColumnBits(m_effects.m_rippleBits, kCentreColumn);
    // A ripple that has reached the top or the bottom row starts the next one.
    if (bits == kTopRowBit)
        SetColumnBit(m_effects.m_rippleBits, kCentreColumn, kTopRowBit);
    else if (bits == kLowRowBit)
        SetColumnBit(m_effects.m_rippleBits, kCentreColumn, kLowRowBit);
    if (m_effects.m_effectPhase > 1) {
        m_effects.m_effectPhase = 0;
        LightRippleBits();
        ShiftRippleBits();
    }
    ++m_effects.m_effectPhase;
    for (int i = 0; i < kLeds; ++i) {
        m_leds.FadeLedState(i, kMode);
        PaintLevel(m_leds, s, full, i);
    }
    return kLeds;
}

void CCorvaneKeyboardDevice::SeedRippleLeft() {
    win::CriticalSectionGuard lock(m_effectLock);
    SetColumnBit(m_effects.m_rippleBits, kLeftColumn, kTopRowBit);
}

int CCorvaneKeyboardDevice::StepRippleFromLeft() {
    constexpr uint8_t kMode = 16;
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    if (ColumnBits(m_effects.m_rippleBits, kLeftColumn) == kTopRowBit)
        SetColumnBit(m_effects.m_rippleBits, kLeftColumn, kTopRowBit);
    if (ColumnBits(m_effects.m_rippleBits, kRightColumn) == kLowRowBit)
        SetColumnBit(m_effects.m_rippleBits, kRightColumn, kLowRowBit);
    LightRippleBits();
    ShiftRippleBits();
    ForSequenceKeys(kSequenceWalk, [&](uint8_t n) {
        m_leds.FadeLedState(n, kMode);
        PaintLevel(m_leds, s, full, n);
    });
    return kLeds;
}
