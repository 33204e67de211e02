#include "link/led_state.h"

#include <gtest/gtest.h>

#include "link/effect_tables.h"

namespace {

LightSetting Setting(uint8_t brightness, uint8_t speed, uint8_t direction, uint8_t colourful, uint8_t r = 10,
                     uint8_t g = 20, uint8_t b = 30) {
    LightSetting s{};
    s.brightness = brightness;
    s.speed = speed;
    s.direction = direction;
    s.colorful = colourful;
    s.red = r;
    s.green = g;
    s.blue = b;
    return s;
}

LedColor Led(uint8_t r, uint8_t g, uint8_t b, uint8_t level) { return {r, g, b, level}; }

void ExpectAllLeds(const LedState& state, LedColor expected) {
    for (int i = 0; i < state.GetLedCount(); ++i) {
        EXPECT_EQ(state.GetLedColor(i), PackLedColor(expected)) << "LED " << i;
    }
}

TEST(StepCounter, CountsUpAndDownThroughItsLimit) {
    const struct {
        uint8_t direction, limit, value, step, expected;
    } cases[] = {
        {1, 128, 5, 1, 6},   {1, 128, 127, 1, 0},  {1, 192, 190, 1, 191},
        {1, 192, 191, 1, 0}, {1, 4, 3, 1, 0},      {1, 192, 250, 16, 0},  // already beyond the limit
        {0, 128, 5, 1, 4},   {0, 128, 1, 1, 0},    {0, 128, 0, 1, 127},
        {0, 4, 0, 1, 3},     {0, 192, 0, 16, 176}, {0, 128, 200, 1, 127},  // a counter left high by another mode
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LedState::StepCounter(c.direction, c.limit, c.value, c.step), c.expected)
            << int(c.direction) << " " << int(c.limit) << " " << int(c.value) << " " << int(c.step);
    }
}

class LedStateTest : public ::testing::Test {
protected:
    void SetUp() override { state.SetLedCount(5); }
    LedState state;
};

TEST_F(LedStateTest, AccessorsIgnoreIndexesOutsideTheVector) {
    state.SetLedColor(2, 0x11223344);
    EXPECT_EQ(state.GetLedColor(2), 0x11223344u);
    state.SetLedColor(-1, 0xFFFFFFFF);
    state.SetLedColor(5, 0xFFFFFFFF);
    EXPECT_EQ(state.GetLedColor(-1), 0u);
    EXPECT_EQ(state.GetLedColor(5), 0u);
    EXPECT_EQ(state.GetLed(2).r, 0x44);
    EXPECT_EQ(state.GetLed(2).brightness, 0x11);
}

TEST_F(LedStateTest, SetLedCountZeroesEvenWhenTheCountIsUnchanged) {
    state.SetLedColor(0, 0xFFFFFFFF);
    state.SetLedCount(5);
    EXPECT_EQ(state.GetLedColor(0), 0u);
    state.SetLedCount(1000);
    EXPECT_EQ(state.GetLedCount(), LedState::kMaxLeds);
}

TEST_F(LedStateTest, BreathingCountsDownAndAdvancesTheHueWhenTheCounterReachesZero) {
    const LightSetting s = Setting(5, 0, /*direction*/ 0, /*colourful*/ 0);
    EXPECT_EQ(state.StepBreathing(s), 5);
    EXPECT_EQ(state.m_effectStep, 127);
    ExpectAllLeds(state, Led(10, 20, 30, 0));  // breath curve 127 is dark
    state.m_effectStep = 64;
    state.StepBreathing(s);
    EXPECT_EQ(state.m_effectStep, 63);
    ExpectAllLeds(state, Led(10, 20, 30, 254));  // 255 * 255 >> 8
    state.m_effectStep = 1;
    state.StepBreathing(s);
    EXPECT_EQ(state.m_effectStep, 0);
    EXPECT_EQ(state.m_effectAuxA, 16);
}

TEST_F(LedStateTest, StepsTable) {
    enum Step { Breathing, Palette, Spectrum };
    const struct {
        const char* what;
        Step step;
        LightSetting setting;
        uint8_t counter, hue;            // before
        uint8_t counterAfter, hueAfter;  // after
        LedColor led;
    } cases[] = {
        {"breathing down from 0 wraps to 127, hue kept", Breathing, Setting(5, 0, 0, 0), 0, 0, 127, 0,
         Led(10, 20, 30, 0)},
        {"breathing at the peak, wheel colour", Breathing, Setting(4, 0, 0, 1), 65, 32, 64, 32, Led(248, 255, 0, 200)},
        {"breathing up to 0 moves the hue to 192", Breathing, Setting(5, 0, 1, 1), 127, 176, 0, 192, Led(255, 1, 0, 0)},
        {"breathing hue past 192 restarts at 0", Breathing, Setting(5, 0, 0, 1), 1, 192, 0, 0, Led(255, 1, 0, 0)},
        {"breathing user colour, level clamped", Breathing, Setting(77, 0, 1, 0), 62, 0, 63, 0, Led(10, 20, 30, 254)},
        {"palette mid-curve", Palette, Setting(2, 0, 1, 0), 30, 2, 31, 2, Led(255, 255, 255, 29)},
        {"palette wraps at 4", Palette, Setting(5, 0, 0, 1), 1, 3, 0, 0, Led(0, 255, 180, 0)},
        {"spectrum down from 0 wraps to 191", Spectrum, Setting(1, 0, 0, 0), 0, 9, 191, 9, Led(255, 0, 0, 51)},
        {"spectrum up", Spectrum, Setting(3, 0, 1, 0), 100, 9, 101, 9, Led(0, 182, 255, 153)},
        {"spectrum up from 191 wraps to 0", Spectrum, Setting(3, 0, 1, 0), 191, 9, 0, 9, Led(255, 1, 0, 153)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        state.m_effectStep = c.counter;
        state.m_effectAuxA = c.hue;
        int count = 0;
        switch (c.step) {
            case Breathing:
                count = state.StepBreathing(c.setting);
                break;
            case Palette:
                count = state.StepBreathingPalette(c.setting);
                break;
            case Spectrum:
                count = state.StepSpectrum(c.setting);
                break;
        }
        EXPECT_EQ(count, 5);
        EXPECT_EQ(state.m_effectStep, c.counterAfter);
        EXPECT_EQ(state.m_effectAuxA, c.hueAfter);
        ExpectAllLeds(state, c.led);
    }
}

TEST_F(LedStateTest, ColourfulBreathingShowsThirteenHuesPerCycle) {
    const LightSetting s = Setting(3, 0, /*direction*/ 1, /*colourful*/ 1);
    std::vector<int> hues;
    for (int tick = 0; tick < 128 * 14; ++tick) {
        state.StepBreathing(s);
        if (state.m_effectStep == 0) hues.push_back(state.m_effectAuxA);
    }
    const std::vector<int> expected = {16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 0, 16};
    EXPECT_EQ(hues, expected);
    state.m_effectAuxA = 192;
    state.m_effectStep = 63;  // peak of the curve at the next tick
    state.StepBreathing(s);
    const RgbEntry c = ColorWheel[192];
    ExpectAllLeds(state, Led(c.r, c.g, c.b, (255 * 153) >> 8));
}

TEST_F(LedStateTest, PaletteStepsStayInsideThePalette) {
    const LightSetting s = Setting(5, 0, 1, 0);
    state.m_effectAuxA = 100;  // left by another mode
    state.m_effectStep = 10;
    state.StepBreathingPalette(s);
    const RgbEntry c = PaletteColors[100 % 4];
    ExpectAllLeds(state, Led(c.r, c.g, c.b, uint8_t((BreathCurve[11] * 255) >> 8)));
    state.m_effectStep = 127;
    state.StepBreathingPalette(s);
    EXPECT_LT(state.m_effectAuxA, 4);
}

TEST_F(LedStateTest, StaticSpectrumAndLightsOff) {
    state.StepStatic(Setting(2, 0, 0, 0, 1, 2, 3));
    ExpectAllLeds(state, Led(1, 2, 3, 102));
    state.m_effectStep = 191;
    state.StepSpectrum(Setting(9, 0, 1, 0));  // brightness clamped to the top level
    const RgbEntry c = ColorWheel[0];
    ExpectAllLeds(state, Led(c.r, c.g, c.b, 255));
    state.StepLightsOff();
    ExpectAllLeds(state, Led(0, 0, 0, 0));
}

TEST_F(LedStateTest, FlashTogglesOncePerPeriodOfTheSpeed) {
    const LightSetting s = Setting(5, 4, 0, 0);
    const uint32_t start = 0xFFFFF000u;  // the tick count wraps during the test
    state.m_flashTick = start;
    state.StepFlash(s, start + 1399);
    EXPECT_EQ(state.m_flashOn, 0);
    ExpectAllLeds(state, Led(0, 0, 0, 0));
    state.StepFlash(s, start + 1400);
    EXPECT_EQ(state.m_flashOn, 1);
    EXPECT_EQ(state.m_effectStep, 16);
    ExpectAllLeds(state, Led(10, 20, 30, 255));
    state.StepFlash(s, start + 2799);
    EXPECT_EQ(state.m_flashOn, 1);
    state.StepFlash(s, start + 2800);
    EXPECT_EQ(state.m_flashOn, 0);
    ExpectAllLeds(state, Led(0, 0, 0, 0));
}

TEST_F(LedStateTest, ColourfulFlashAdvancesTheWheelBySixteenAndWrapsAt192) {
    const LightSetting s = Setting(3, 0, 0, /*colourful*/ 1);
    const struct {
        uint8_t before, phaseBefore, after, phaseAfter;
    } cases[] = {{0, 0, 16, 1}, {160, 0, 176, 1}, {176, 0, 0, 1}, {170, 0, 186, 1}, {180, 1, 0, 0}, {250, 0, 10, 1}};
    uint32_t now = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.before));
        state.m_effectStep = c.before;
        state.m_flashOn = c.phaseBefore;
        now += 5600;
        state.StepFlash(s, now);
        EXPECT_EQ(state.m_effectStep, c.after);
        EXPECT_EQ(state.m_flashOn, c.phaseAfter);
        EXPECT_EQ(state.m_flashTick, now);
        const RgbEntry w = ColorWheel[c.after];
        ExpectAllLeds(state, c.phaseAfter ? Led(w.r, w.g, w.b, 153) : Led(0, 0, 0, 0));
    }
}

TEST_F(LedStateTest, FlashPaletteCyclesThroughFourColours) {
    const LightSetting s = Setting(5, 0, 0, 0);
    std::vector<int> shown;
    uint32_t now = 0;
    for (int i = 0; i < 10; ++i) {
        now += 5600;
        state.StepFlashPalette(s, now);
        if (state.m_flashOn) shown.push_back(state.m_effectStep);
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 3, 1, 3, 1}));
}

std::vector<int> FadeSequence(LedState& state, int mode) {
    state.m_keyLevel[7] = 255;
    std::vector<int> seq = {255};
    while (state.m_keyLevel[7] != 0 && seq.size() < 300) {
        state.FadeLedState(7, mode);
        seq.push_back(state.m_keyLevel[7]);
    }
    return seq;
}

TEST_F(LedStateTest, FadeFollowsTheTableOfItsMode) {
    const std::vector<int> mode0 = {255, 215, 175, 135, 95, 65, 35, 20, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    const std::vector<int> mode21 = {255, 210, 165, 120, 75, 40, 5, 4, 3, 2, 1, 0};
    const std::vector<int> other = {255, 215, 175, 135, 95, 65, 35, 25, 17, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    const struct {
        int mode;
        const std::vector<int>& sequence;
    } cases[] = {{0, mode0}, {21, mode21}, {1, other}, {3, other}, {20, other}, {22, other}, {255, other}};
    for (const auto& c : cases) {
        const std::vector<int> seq = FadeSequence(state, c.mode);
        EXPECT_EQ(seq, c.sequence) << "mode " << c.mode;
        EXPECT_EQ(int(seq.size()) - 1, c.mode == 21 ? 11 : c.mode == 0 ? 20 : 18) << "mode " << c.mode;
    }
    // One decay step from values that pick each rule.
    const struct {
        int mode;
        uint8_t from, to;
    } steps[] = {
        {0, 0x80, 0x80 - 40},
        {0, 0x7F, 0x7F - 30},
        {0, 0x3F, 0x3F - 15},
        {0, 0x20, 0x20 - 15},
        {0, 0x1F, 0x1F - 8},
        {0, 17, 9},
        {0, 16, 15},
        {0, 1, 0},
        {0, 0, 0},
        {5, 0x3F, 0x3F - 10},
        {5, 0x20, 0x20 - 10},
        {5, 0, 0},
        {21, 0x90, 0x90 - 45},
        {21, 0x70, 0x70 - 45},  // bit 0x10 counts with 0x80
        {21, 0x6F, 0x6F - 35},
        {21, 0x2F, 0x2F - 35},
        {21, 0x0F, 0x0E},
        {21, 0, 0},
    };
    for (const auto& c : steps) {
        state.m_keyLevel[4] = c.from;
        state.FadeLedState(4, c.mode);
        EXPECT_EQ(state.m_keyLevel[4], c.to) << "mode " << c.mode << " from " << int(c.from);
    }
}

TEST_F(LedStateTest, FadeNeverWrapsBackToBright) {
    const struct {
        uint8_t from;
        int mode;
    } cases[] = {{16, 21}, {17, 21}, {31, 21}, {0x20, 21}};
    for (const auto& c : cases) {
        state.m_keyLevel[3] = c.from;
        state.FadeLedState(3, c.mode);
        EXPECT_LT(state.m_keyLevel[3], c.from) << int(c.from);
    }
    state.m_keyLevel[3] = 16;
    state.FadeLedState(3, 21);
    EXPECT_EQ(state.m_keyLevel[3], 0);
    state.FadeLedState(-1, 0);
    state.FadeLedState(LedState::kMaxLeds, 0);  // outside: nothing happens
}

TEST_F(LedStateTest, RingRotatesAndIgnites) {
    state.m_ring[0] = 1;
    state.m_ring[22] = 2;
    state.RotateRing(true);
    EXPECT_EQ(state.m_ring[1], 1);
    EXPECT_EQ(state.m_ring[0], 2);
    state.RotateRing(false);
    EXPECT_EQ(state.m_ring[0], 1);
    EXPECT_EQ(state.m_ring[22], 2);

    state.m_ring.fill(0);
    state.m_ring[0] = 5;
    state.m_ring[7] = 9;
    state.RotateWaveRing(8, true);
    EXPECT_EQ(state.m_ring[1], 5);
    EXPECT_EQ(state.m_ring[0], 9);
    EXPECT_EQ(state.m_ring[8], 0);    // beyond the length: untouched
    state.RotateWaveRing(99, false);  // capped at the ring size: the whole ring turns
    EXPECT_EQ(state.m_ring[0], 5);
    EXPECT_EQ(state.m_ring[22], 9);
    state.RotateWaveRing(1, true);  // a ring of one place does not move
    EXPECT_EQ(state.m_ring[0], 5);

    state.m_ring.fill(0);
    state.m_ring[2] = 1;
    state.m_ring[9] = 1;  // only positions 0..8 ignite
    state.IgniteRingLeds();
    EXPECT_EQ(state.m_keyLevel[2], 255);
    EXPECT_EQ(state.m_keyLevel[9], 0);
    state.ClearFadeState();
    EXPECT_EQ(state.m_keyLevel[2], 0);
    EXPECT_EQ(state.m_ring[9], 0);
}

TEST_F(LedStateTest, WaveFrameStartsAfterTheGivenHue) {
    state.RenderWaveFrame(Setting(5, 0, /*direction*/ 0, /*colourful*/ 1), 191);
    for (int i = 0; i < 5; ++i) {
        const RgbEntry c = ColorWheel[i * 12];
        EXPECT_EQ(state.GetLedColor(i), PackLedColor(Led(c.r, c.g, c.b, 255))) << i;
    }
    state.RenderWaveFrame(Setting(5, 0, /*direction*/ 1, /*colourful*/ 1), 0);
    const RgbEntry first = ColorWheel[191];
    EXPECT_EQ(state.GetLedColor(0), PackLedColor(Led(first.r, first.g, first.b, 255)));
    EXPECT_EQ(state.GetLedColor(1), PackLedColor(Led(ColorWheel[11].r, ColorWheel[11].g, ColorWheel[11].b, 255)));

    state.RenderWaveFrame(Setting(5, 0, 0, 0, 1, 2, 3), 0);  // start hue 1, index advances first
    EXPECT_EQ(state.GetLedColor(0), PackLedColor(Led(1, 2, 3, uint8_t((255 * WaveCurve[13]) >> 8))));
    EXPECT_EQ(state.GetLedColor(1), PackLedColor(Led(1, 2, 3, uint8_t((255 * WaveCurve[25]) >> 8))));
}

TEST_F(LedStateTest, WaveFrameWrapsItsIndexes) {
    // Direction set from 100: start hue 92; colourful hues 92, 104, ..., 140.
    state.RenderWaveFrame(Setting(1, 0, 1, 1), 100);
    for (int i = 0; i < 5; ++i) {
        const RgbEntry c = ColorWheel[92 + 12 * i];
        EXPECT_EQ(state.GetLedColor(i), PackLedColor(Led(c.r, c.g, c.b, 51))) << i;
    }
    // Colourful from 170 (start 171): 171, 183, then 195 - 192 = 3, 15, 27.
    state.RenderWaveFrame(Setting(5, 0, 0, 1), 170);
    const int hues[] = {171, 183, 3, 15, 27};
    for (int i = 0; i < 5; ++i) {
        const RgbEntry c = ColorWheel[hues[i]];
        EXPECT_EQ(state.GetLedColor(i), PackLedColor(Led(c.r, c.g, c.b, 255))) << i;
    }
    // Single colour from 70 (start 71): wave indexes 83, 95, 11, 23, 35.
    state.RenderWaveFrame(Setting(3, 0, 0, 0, 7, 8, 9), 70);
    const int waves[] = {83, 95, 11, 23, 35};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(state.GetLedColor(i), PackLedColor(Led(7, 8, 9, uint8_t((153 * WaveCurve[waves[i]]) >> 8)))) << i;
    }
}

TEST_F(LedStateTest, StaticAndColourCycleFrames) {
    state.RenderStaticFrame(Setting(4, 0, 0, 1, 1, 2, 3), 77);  // the step is not read, nor the colourful flag
    ExpectAllLeds(state, Led(1, 2, 3, 201));
    state.RenderColorCycleFrame(Setting(2, 0, 0, 0, 1, 2, 3), 64);
    ExpectAllLeds(state, Led(0, 255, 1, 102));
    state.RenderColorCycleFrame(Setting(2, 0, 0, 0), 255);  // the top of the byte range reads the repeat
    const RgbEntry c = ColorWheel[63];
    ExpectAllLeds(state, Led(c.r, c.g, c.b, 102));
}

TEST_F(LedStateTest, PerLedEffectsRenderOnlyTheirTypes) {
    state.SetLedColor(0, 0x01010101);
    state.SetLedColor(2, 0x02020202);
    std::vector<LightSetting> effects(3);
    effects[0].mode = 1;  // static
    effects[0].brightness = 1;
    effects[0].red = 200;
    effects[1].mode = 4;  // off
    effects[2].mode = 0;  // breathing: rendered by the family
    state.SetLedColor(1, 0x05050505);
    state.RenderKeyStatic(effects);
    state.RenderKeyOff(effects);
    EXPECT_EQ(state.GetLedColor(0), PackLedColor(Led(200, 0, 0, 51)));
    EXPECT_EQ(state.GetLedColor(1), 0u);
    EXPECT_EQ(state.GetLedColor(2), 0x02020202u);
}

}  // namespace
