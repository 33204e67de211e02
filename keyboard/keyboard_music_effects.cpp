// The music mode (21) and the screen-colour mode (22) of the keyboard: the
// band levels the main window hands over, the seven music styles with the
// beat detector of style 2, and the colour of the middle of the screen.
//
// The band levels are written on the UI thread and used by the light thread:
// both sides hold the page's effect lock.
#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <utility>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/key_position_table.h"
#include "link/effect_tables.h"

namespace {

using Bands = std::array<int32_t, KeyboardEffectState::kMusicColumns>;

constexpr uint8_t kMusicMode = 21;
constexpr uint8_t kBeatStyle = 2;
constexpr int kWheelHues = 192;
constexpr uint8_t kFullLevel = 255;
// A key below this level is dark: it shows the background colour and lets
// the key beyond it fade.
constexpr int kDarkLevel = 10;
// Style 4 keeps a bar standing while the key below the tip has this much.
constexpr int kStandingLevel = 5;
constexpr int kBeatKey = 51;
constexpr int32_t kBeatThreshold = 70;
constexpr int kRings = 12;

// The beat counter of style 2: one for all keyboard pages.
std::atomic<int32_t> g_beatCount{0};

// Height of a level: 600 for silence, 0 at full scale (2000). Louder than
// full scale stays 0: a loud song must not read as almost silent.
int Height(int32_t level) {
    const int64_t h = 600 - int64_t(level) * 600 / 2000;
    return int(std::clamp<int64_t>(h, 0, 600));
}

// The first row of a rising bar (styles 0 and 4): 7 for silence, 1 at full
// scale, 0 and below when louder.
int BarTop(int32_t level) { return int((700 - int64_t(level) * 600 / 2000) * 6 / 600); }

uint8_t KeyAt(int column, int row) {
    if (column < 0 || column >= kMatrixColumns || row < 0 || row >= kMatrixRows) return kNoKeyMatrixCell;
    return KeyMatrix[size_t(column)][size_t(row)];
}

bool IsKey(uint8_t n) { return n < kKeyPositionCount; }

uint8_t NextHue(uint8_t hue, int step) { return uint8_t((hue + step) % kWheelHues); }

int HeightSum(const Bands& levels) {
    int sum = 0;
    for (int32_t v : levels) sum += Height(v);
    return sum;
}

// The sums of consecutive groups of levels from level 0, each divided by 3.
template <size_t N>
std::array<int32_t, N> GroupLevels(const Bands& levels, const std::array<int, N>& sizes) {
    std::array<int32_t, N> groups{};
    size_t next = 0;
    for (size_t g = 0; g < N; ++g) {
        int64_t sum = 0;
        for (int i = 0; i < sizes[g]; ++i) sum += levels[next++];
        groups[g] = int32_t(std::clamp<int64_t>(sum / 3, INT32_MIN, INT32_MAX));
    }
    return groups;
}

// The music styles' drawing on the LED vector: the colours of the page's
// music setting at its brightness.
class MusicCanvas {
public:
    MusicCanvas(LedState& leds, const LightSetting& light, const AudioLightSetting& audio)
        : leds_(leds),
          full_(BrightnessLevelOf(light.brightness)),
          foreground_{audio.fgRed, audio.fgGreen, audio.fgBlue},
          background_{audio.bkRed, audio.bkGreen, audio.bkBlue},
          wheel_(audio.sevenColor != 0) {}

    bool Wheel() const { return wheel_; }
    // The foreground colour, or wheel colour `hue` with the wheel flag.
    RgbEntry Foreground(uint8_t hue) const { return wheel_ ? ColorWheel[hue] : foreground_; }
    uint8_t Level(uint8_t n) const { return leds_.m_keyLevel[n]; }
    // A key that is there and at least at `level`.
    bool Holds(uint8_t n, int level = kDarkLevel) const { return IsKey(n) && leds_.m_keyLevel[n] >= level; }
    void Fade(uint8_t n) { leds_.FadeLedState(n, kMusicMode); }
    void Light(uint8_t n, RgbEntry colour) {
        leds_.m_keyLevel[n] = kFullLevel;
        Paint(n, colour, Scaled(kFullLevel));
    }
    // Dark keys show the background colour, the others fade out in `colour`.
    void Trail(uint8_t n, RgbEntry colour) {
        if (leds_.m_keyLevel[n] < kDarkLevel)
            Paint(n, background_, full_);
        else
            Paint(n, colour, Scaled(leds_.m_keyLevel[n]));
    }
    void Paint(uint8_t n, RgbEntry c, uint8_t level) { leds_.SetLedColor(n, PackLedColor({c.r, c.g, c.b, level})); }
    uint8_t Scaled(uint8_t x) const { return uint8_t(full_ * x >> 8); }

private:
    LedState& leds_;
    uint8_t full_;
    RgbEntry foreground_;
    RgbEntry background_;
    bool wheel_;
};

}  // namespace

// --- Band levels ---------------------------------------------------------------------

void CCorvaneKeyboardDevice::SetAudioSpectrum(const int32_t* levels, int count) {
    if (!levels) return;
    win::CriticalSectionGuard lock(m_effectLock);
    auto& bands = m_effects.m_musicBands;
    bands.fill(0);
    std::copy_n(levels, std::clamp<int>(count, 0, int(bands.size())), bands.begin());
    if (m_runningMode.load() != kMusicMode || CurrentAudioLightSetting().mode != kBeatStyle) return;
    // The beat detector: quiet sets add little, loud ones up to 25 a set.
    const Bands taken = std::exchange(bands, Bands{});
    const int sum = HeightSum(taken);
    const int32_t beats = g_beatCount.load() + 25 - ((sum / 25) * 25) / 600;
    if (beats > kBeatThreshold) {
        g_beatCount.store(0);
        SeedRippleAtKey(kBeatKey, 1);
    } else {
        g_beatCount.store(beats);
    }
}

void CCorvaneKeyboardDevice::SetAudioLevels(const int32_t* levels, int) {
    if (!levels) return;
    win::CriticalSectionGuard lock(m_effectLock);
    std::copy_n(levels, m_effects.m_externalLevels.size(), m_effects.m_externalLevels.begin());
}

int32_t CCorvaneKeyboardDevice::GetBeatCount() { return g_beatCount.load(); }

// --- Music styles ----------------------------------------------------------------------

int CCorvaneKeyboardDevice::StepMusic() {
    switch (CurrentAudioLightSetting().mode) {
        case 0:
            return StepMusicStyle0();
        case 1:
            return StepMusicStyle1();
        case 2:
            return StepMusicStyle2();
        case 3:
            return StepMusicStyle3();
        case 4:
            return StepMusicStyle4();
        case 5:
            return StepMusicStyle5();
        case 6:
            return StepMusicStyle6();
        default:
            return 0;
    }
}

namespace {

// The levels a style draws, used once: the next step sees zeros unless new
// levels arrive.
Bands TakeBands(KeyboardEffectState& effects) { return std::exchange(effects.m_musicBands, Bands{}); }

}  // namespace

// Rising bars, one per column, in the foreground or in wheel colours.
int CCorvaneKeyboardDevice::StepMusicStyle0() {
    win::CriticalSectionGuard lock(m_effectLock);
    const Bands levels = TakeBands(m_effects);
    const LightSetting light = CurrentLightSetting();
    MusicCanvas canvas(m_leds, light, CurrentAudioLightSetting());
    m_leds.m_effectStep = StepCounter(light.direction, kWheelHues, m_leds.m_effectStep, 1);
    uint8_t hue = m_leds.m_effectStep;
    if (m_leds.m_effectAuxB > 30) {
        m_leds.m_effectAuxB = 0;
        m_leds.m_effectAuxA = StepCounter(light.direction, 25, m_leds.m_effectAuxA, 1);
    }
    ++m_leds.m_effectAuxB;
    for (int c = 0; c < kMatrixColumns; ++c) {
        hue = NextHue(hue, 10);
        const int top = BarTop(levels[size_t(c)]);
        for (int r = 0; r < kMatrixRows; ++r) {
            const uint8_t n = KeyAt(c, r);
            if (!IsKey(n)) continue;
            if (r == 0 || !canvas.Holds(KeyAt(c, r - 1))) canvas.Fade(n);
            if (r < top)
                canvas.Trail(n, canvas.Foreground(hue));
            else
                canvas.Light(n, canvas.Foreground(hue));
        }
    }
    return kMatrixColumns;
}

// Bars from the middle outwards: the left half grows from the left edge, the
// right half from column 9 on.
int CCorvaneKeyboardDevice::StepMusicStyle1() {
    win::CriticalSectionGuard lock(m_effectLock);
    const Bands levels = TakeBands(m_effects);
    const LightSetting light = CurrentLightSetting();
    MusicCanvas canvas(m_leds, light, CurrentAudioLightSetting());
    m_leds.m_effectStep = StepCounter(light.direction, kWheelHues, m_leds.m_effectStep, 1);
    m_leds.m_effectAuxA = StepCounter(light.direction, 25, m_leds.m_effectAuxA, 1);
    int j = m_leds.m_effectAuxA;
    for (int r = 0; r < kMatrixRows; ++r) {
        j = (j + 3) % 25;
        const int left = Height(levels[size_t(j)]) + 100;
        const int right = Height(levels[size_t(2 * r + 1)]);
        uint8_t hue = m_leds.m_effectStep;
        for (int c = 0; c < kMatrixColumns; ++c) {
            hue = NextHue(hue, 7);
            const uint8_t n = KeyAt(c, r);
            if (!IsKey(n)) continue;
            bool trail;
            if (c <= 8) {
                if (!canvas.Holds(KeyAt(c - 1, r))) canvas.Fade(n);
                trail = c < left * 12 / 600;
            } else {
                if (c >= 21 || !canvas.Holds(KeyAt(c + 1, r))) canvas.Fade(n);
                trail = 12 - (right + 100) * 12 / 600 < c - 9;
            }
            if (trail)
                canvas.Trail(n, canvas.Foreground(hue));
            else
                canvas.Light(n, canvas.Foreground(hue));
        }
    }
    return kMatrixColumns;
}

// Ripples from the middle of the keyboard on every beat (the detector runs
// as the levels arrive).
int CCorvaneKeyboardDevice::StepMusicStyle2() {
    win::CriticalSectionGuard lock(m_effectLock);
    const LightSetting light = CurrentLightSetting();
    MusicCanvas canvas(m_leds, light, CurrentAudioLightSetting());
    LightRippleBits();
    ShiftRippleBits();
    for (int i = 0; i < int(kKeyPositionCount); ++i) {
        const uint8_t n = uint8_t(i);
        m_leds.FadeLedState(n, light.mode);
        const int hue = m_leds.m_keyHue[n] + 9;
        m_leds.m_keyHue[n] = uint8_t(hue >= kWheelHues ? 0 : hue);
        canvas.Trail(n, canvas.Foreground(m_leds.m_keyHue[n]));
    }
    return int(kKeyPositionCount);
}

// Rings around the middle: the louder, the more rings light.
int CCorvaneKeyboardDevice::StepMusicStyle3() {
    win::CriticalSectionGuard lock(m_effectLock);
    const Bands levels = TakeBands(m_effects);
    const LightSetting light = CurrentLightSetting();
    MusicCanvas canvas(m_leds, light, CurrentAudioLightSetting());
    const int quiet = ((HeightSum(levels) / 25) * 20) / 600;  // 20 for silence, 0 when loud
    m_leds.m_effectStep = StepCounter(light.direction, kWheelHues, m_leds.m_effectStep, uint8_t(quiet));
    uint8_t hue = m_leds.m_effectStep;
    for (int ring = 0; ring < kRings; ++ring) {
        hue = NextHue(hue, 9);
        for (uint8_t key : RingMatrix[size_t(ring)]) {
            const uint8_t n = FindSequenceKey(key);
            if (!IsKey(n)) continue;
            const LedColor now = m_leds.GetLed(n);
            RgbEntry colour{now.r, now.g, now.b};
            if (ring < 20 - quiet) {
                m_leds.m_keyLevel[n] = kFullLevel;
                colour = ColorWheel[hue];
            } else {
                m_leds.FadeLedState(n, 0);
            }
            canvas.Paint(n, colour, canvas.Scaled(m_leds.m_keyLevel[n]));
        }
    }
    return kRings;
}

// One peak per column: a column fires the keys of its bar and fires again
// only once its bottom key has gone dark.
int CCorvaneKeyboardDevice::StepMusicStyle4() {
    win::CriticalSectionGuard lock(m_effectLock);
    const Bands levels = TakeBands(m_effects);
    const LightSetting light = CurrentLightSetting();
    MusicCanvas canvas(m_leds, light, CurrentAudioLightSetting());
    m_leds.m_effectStep = StepCounter(light.direction, kWheelHues, m_leds.m_effectStep, 1);
    if (m_leds.m_effectAuxB > 10) {
        m_leds.m_effectAuxB = 0;
        m_leds.m_effectAuxA = StepCounter(light.direction, 25, m_leds.m_effectAuxA, 0);
    }
    ++m_leds.m_effectAuxB;
    int j = m_leds.m_effectAuxA;
    auto& armed = m_effects.m_musicColumnArmed;
    for (int c = 0; c < kMatrixColumns; ++c) {
        j = (j + 1) % 25;
        const int32_t v = levels[size_t(j)];
        const uint8_t bottom = KeyAt(c, kMatrixRows - 1);
        if (!IsKey(bottom)) continue;
        const int top = BarTop(v);
        for (int r = 0; r < kMatrixRows; ++r) {
            const uint8_t n = KeyAt(c, r);
            if (!IsKey(n)) continue;
            if (armed[size_t(c)] != 0 && canvas.Level(bottom) < kDarkLevel) armed[size_t(c)] = 0;
            if (r == 0 || !canvas.Holds(KeyAt(c, r - 1), kStandingLevel)) canvas.Fade(n);
            canvas.Trail(n, canvas.Foreground(m_leds.m_keyHue[n]));
            // The new level shows from the next step on.
            if (top <= r && armed[size_t(c)] == 0) {
                m_leds.m_keyLevel[n] = kFullLevel;
                armed[size_t(c)] = 1;
            }
        }
    }
    return kMatrixColumns;
}

// Rows growing from the left, one group of bands per row; the bottom row
// shows the lowest group.
int CCorvaneKeyboardDevice::StepMusicStyle5() {
    win::CriticalSectionGuard lock(m_effectLock);
    const Bands levels = TakeBands(m_effects);
    const LightSetting light = CurrentLightSetting();
    MusicCanvas canvas(m_leds, light, CurrentAudioLightSetting());
    const auto groups = GroupLevels(levels, std::array<int, 6>{2, 3, 3, 4, 5, 7});
    m_leds.m_effectStep = StepCounter(light.direction, kWheelHues, m_leds.m_effectStep, 1);
    m_leds.m_effectAuxA = StepCounter(light.direction, 8, m_leds.m_effectAuxA, 1);
    for (int r = 0; r < kMatrixRows; ++r) {
        const int height = Height(groups[size_t(5 - r)]);
        uint8_t hue = m_leds.m_effectStep;
        for (int c = 0; c < kMatrixColumns; ++c) {
            hue = NextHue(hue, 3);
            const uint8_t n = KeyAt(c, r);
            if (!IsKey(n)) continue;
            if (c >= 21 || !canvas.Holds(KeyAt(c + 1, r))) canvas.Fade(n);
            if (23 - (height + 100) * 23 / 600 < c)
                canvas.Trail(n, canvas.Foreground(hue));
            else
                canvas.Light(n, canvas.Foreground(hue));
        }
    }
    return kMatrixColumns;
}

// Rows growing from alternate sides; with the wheel flag each key that shows
// the foreground takes the next wheel colour.
int CCorvaneKeyboardDevice::StepMusicStyle6() {
    win::CriticalSectionGuard lock(m_effectLock);
    const Bands levels = TakeBands(m_effects);
    const LightSetting light = CurrentLightSetting();
    MusicCanvas canvas(m_leds, light, CurrentAudioLightSetting());
    const auto groups = GroupLevels(levels, std::array<int, 6>{2, 2, 3, 4, 5, 5});
    m_leds.m_effectStep = StepCounter(light.direction, kWheelHues, m_leds.m_effectStep, 1);
    m_leds.m_effectAuxA = StepCounter(light.direction, 25, m_leds.m_effectAuxA, 1);
    for (int r = 0; r < kMatrixRows; ++r) {
        const int reach = Height(groups[size_t(r)]) * 23 / 600;
        uint8_t hue = m_leds.m_effectStep;
        for (int c = 0; c < kMatrixColumns; ++c) {
            const uint8_t n = KeyAt(c, r);
            if (!IsKey(n)) continue;
            bool trail;
            if (r % 2 == 1) {
                if (c >= 21 || !canvas.Holds(KeyAt(c + 1, r))) canvas.Fade(n);
                trail = 23 - reach < c;
            } else {
                if (c <= 1 || !canvas.Holds(KeyAt(c - 1, r))) canvas.Fade(n);
                trail = c < reach;
            }
            const bool foreground = !trail || canvas.Level(n) >= kDarkLevel;
            if (canvas.Wheel() && foreground) hue = NextHue(hue, 2);
            if (trail)
                canvas.Trail(n, canvas.Foreground(hue));
            else
                canvas.Light(n, canvas.Foreground(hue));
        }
    }
    return kMatrixColumns;
}

// --- Screen colour ---------------------------------------------------------------------

uint32_t CCorvaneKeyboardDevice::CaptureScreenCentreColor(tavrik::screen::ScreenSource& source, int x, int y, int width,
                                                          int height) {
    return tavrik::screen::CaptureAverageColour(source, x, y, width, height);
}

// Every key in the average colour of the 100 x 100 square at the middle of
// the screen; black while the screen cannot be read.
int CCorvaneKeyboardDevice::StepScreenSync() {
    const std::shared_ptr<tavrik::screen::ScreenSource> source = tavrik::screen::CurrentScreenSource();
    const tavrik::screen::ScreenSize size = source->Size();
    const int side = tavrik::screen::kCentreSquare;
    const uint32_t colour =
        CaptureScreenCentreColor(*source, size.width / 2 - side / 2, size.height / 2 - side / 2, side, side);
    const uint8_t level = BrightnessLevelOf(CurrentLightSetting().brightness);
    const uint32_t word = PackLedColor({uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16), level});
    const int count = m_leds.GetLedCount();
    for (int i = 0; i < count; ++i) m_leds.SetLedColor(i, word);
    return count;
}
