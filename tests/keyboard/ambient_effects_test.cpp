// The keyboard's ambient effect steps on a page without a device: the colour
// and level at chosen LEDs after a number of steps, by mode, colourful flag
// and direction, with a fixed random sequence; the entry hooks' offsets and
// phases; the running, sweeping and scripted effects' own rules.
#include <map>
#include <string>

#include "link/keyboard_effect_tables.h"
#include "tests/keyboard/effect_test_support.h"

namespace {

using namespace kbtest;
using Step = int (CCorvaneKeyboardDevice::*)();

const std::map<int, Step> kSteps = {
    {1, &CCorvaneKeyboardDevice::StepStatic},           {2, &CCorvaneKeyboardDevice::StepBreathing},
    {5, &CCorvaneKeyboardDevice::StepRandomBreathing},  {7, &CCorvaneKeyboardDevice::StepStarlight},
    {9, &CCorvaneKeyboardDevice::StepColumnSpectrum},   {10, &CCorvaneKeyboardDevice::StepColumnWave},
    {11, &CCorvaneKeyboardDevice::StepPairSequence},    {12, &CCorvaneKeyboardDevice::StepRippleFromCentre},
    {13, &CCorvaneKeyboardDevice::StepSequenceFlow},    {14, &CCorvaneKeyboardDevice::StepRowWave},
    {15, &CCorvaneKeyboardDevice::StepKeyColorCycle},   {16, &CCorvaneKeyboardDevice::StepRippleFromLeft},
    {17, &CCorvaneKeyboardDevice::StepFxColor},         {18, &CCorvaneKeyboardDevice::StepRings},
    {24, &CCorvaneKeyboardDevice::StepSweep},           {29, &CCorvaneKeyboardDevice::StepRunningKeys},
    {30, &CCorvaneKeyboardDevice::StepPhasedBreathing},
};

const LedColor kMarker{1, 2, 3, 4};
const LedColor kSetting100{10, 20, 30, 255};

LedColor SettingAt(uint8_t level) { return {10, 20, 30, level}; }

class AmbientEffects : public ::testing::Test {
protected:
    // The mode entered as a profile change enters it: reset and entry hook.
    void Enter(uint8_t mode, uint8_t colorful, uint8_t direction) {
        page.Set(mode, colorful, direction);
        page.EnterLightMode(mode, false);
        page.Fill(kMarker);
    }
    void Run(uint8_t mode, int steps) {
        for (int i = 0; i < steps; ++i) (page.*kSteps.at(mode))();
    }

    EffectPage page;
};

struct AmbientCase {
    uint8_t mode;
    uint8_t colorful;
    uint8_t direction;
    int steps;
    int led;
    LedColor expected;
};

TEST_F(AmbientEffects, StepsPaintTheirColoursAndLevels) {
    const AmbientCase cases[] = {
        // Mode 1: ring i at hue 138 - 12 i, whatever the direction; the setting colour otherwise.
        {1, 1, 1, 1, 51, Wheel(138, 255)},
        {1, 1, 0, 1, 30, Wheel(126, 255)},
        {1, 1, 0, 1, 118, Wheel(6, 255)},
        {1, 1, 1, 1, 55, kMarker},  // in no ring
        {1, 0, 1, 1, 55, kSetting100},
        // Mode 2 ignores the direction; column c breathes in hue 7c.
        {2, 1, 1, 3, 0, Wheel(14, Shade(BreathCurve[3]))},
        {2, 1, 0, 3, 0, Wheel(14, Shade(BreathCurve[3]))},
        {2, 1, 1, 40, 56, Wheel(112, Shade(BreathCurve[40]))},
        {2, 0, 0, 130, 56, SettingAt(Shade(BreathCurve[2]))},
        // Modes 9, 10, 13, 14, 18 and 24 run backwards with the direction clear.
        {9, 1, 1, 1, 0, Wheel(5, 255)},
        {9, 1, 0, 1, 0, Wheel(3, 255)},
        {9, 0, 1, 1, 0, SettingAt(Shade(PulseCurve[3]))},
        {9, 0, 0, 1, 0, SettingAt(Shade(PulseCurve[1]))},
        {10, 1, 1, 1, 0, Wheel(16, 255)},
        {10, 1, 0, 1, 0, Wheel(14, 255)},
        {10, 0, 1, 1, 0, SettingAt(Shade(WaveCurve[16]))},
        {10, 0, 0, 1, 0, SettingAt(Shade(WaveCurve[14]))},
        {13, 1, 1, 1, 56, Wheel(1, 255)},
        {13, 1, 1, 1, 12, Wheel(6, 255)},
        {13, 1, 0, 1, 56, Wheel(191, 255)},
        {13, 1, 0, 1, 12, Wheel(4, 255)},
        {13, 0, 1, 1, 12, SettingAt(Shade(WaveCurve[6]))},
        {13, 0, 1, 1, 37, kMarker},  // not in the sequence
        // Modes 14 and 18 show wheel colours with the colourful flag clear.
        {14, 0, 1, 1, 0, Wheel(2, 255)},
        {14, 0, 1, 1, 21, Wheel(26, 255)},
        {14, 0, 0, 1, 0, Wheel(0, 255)},
        {14, 0, 0, 1, 105, Wheel(120, 255)},
        {18, 0, 1, 1, 51, Wheel(8, 255)},
        {18, 0, 1, 1, 30, Wheel(15, 255)},
        {18, 0, 0, 1, 51, Wheel(6, 255)},
        {18, 0, 1, 1, 55, kMarker},
        {24, 1, 1, 1, 0, Wheel(3, 255)},  // position 1 sweeps LED 0
        {24, 0, 1, 1, 0, SettingAt(Shade(250))},
        {24, 1, 0, 1, 21, Wheel(3, 255)},  // backwards: position 51 first
        {24, 0, 0, 1, 21, SettingAt(Shade(250))},
        {24, 0, 1, 1, 100, SettingAt(0)},
        // Mode 15 after its offsets: LED 63 at 192 moves on to 0.
        {15, 0, 1, 1, 63, Wheel(0, 255)},
        {15, 0, 1, 1, 0, Wheel(34, 255)},
        // Mode 5 from its seeds: LED 84 at level 20, hue 14.
        {5, 1, 1, 1, 84, Wheel(14, Shade(PulseCurve[22]))},
        {5, 0, 1, 2, 84, SettingAt(Shade(PulseCurve[24]))},
        // Mode 30 from its phases: LED 63 at 1, LED 42 at 36.
        {30, 1, 1, 1, 63, Wheel(14, Shade(PulseCurve[2]))},
        {30, 0, 1, 1, 42, SettingAt(Shade(PulseCurve[37]))},
        // Mode 7 with the draws 0, 1, 2, ...: keys 70, 90, 60, 39, 102 at hues 1, 4, 6, 8, 10.
        {7, 1, 1, 1, 70, Wheel(1, Shade(215))},
        {7, 1, 1, 1, 102, Wheel(10, Shade(215))},
        {7, 0, 1, 1, 39, SettingAt(Shade(215))},
        {7, 0, 1, 1, 0, SettingAt(0)},
    };
    for (const AmbientCase& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " colourful " + std::to_string(c.colorful) + " direction " +
                     std::to_string(c.direction) + " steps " + std::to_string(c.steps) + " LED " +
                     std::to_string(c.led));
        page.StartRandomAt(0);
        Enter(c.mode, c.colorful, c.direction);
        Run(c.mode, c.steps);
        EXPECT_EQ(page.Led(c.led), c.expected);
    }
}

TEST_F(AmbientEffects, PresetHueTakesTheSubModeOfThePagesSetting) {
    const std::pair<uint8_t, uint8_t> cases[] = {{0, 174}, {1, 25}, {2, 70}, {3, 95}, {4, 174}, {200, 174}};
    for (auto [subMode, hue] : cases) {
        SCOPED_TRACE(int(subMode));
        LightSetting s = page.Set(17);
        s.subMode = subMode;
        page.SetLightSetting(s);
        page.StepFxColor();
        for (int led : {0, 55, 169}) EXPECT_EQ(page.Led(led), Wheel(hue, 255)) << led;
    }
}

TEST_F(AmbientEffects, EntryHooksSetOffsetsSeedsAndPhases) {
    page.InitColorOffsets();
    EXPECT_EQ(page.Leds().m_keyHue[0], 33);
    EXPECT_EQ(page.Leds().m_keyHue[4], 165);
    EXPECT_EQ(page.Leds().m_keyHue[5], 6);     // 198 wraps to 6
    EXPECT_EQ(page.Leds().m_keyHue[63], 192);  // a sum of exactly 192 stays

    page.ResetEffectState();
    page.InitKeyBreathing();
    EXPECT_EQ(page.Leds().m_keyLevel[0], PhaseSeed[13]);
    EXPECT_EQ(page.Leds().m_keyLevel[118], PhaseSeed[119]);  // the largest index read
    EXPECT_EQ(page.Leds().m_keyHue[118], 133);
    EXPECT_EQ(page.Leds().m_keyLevel[102], 0);  // no place in the seven-row matrix

    page.InitPhasedBreathing();
    // Column 2 (columns 0 and 1 hold no key): 176 less 35 per row, less 63 more past 191.
    const std::map<int, uint8_t> column2 = {{0, 106}, {21, 71}, {42, 36}, {63, 1}, {84, 159}, {105, 124}};
    for (auto [led, phase] : column2) {
        EXPECT_EQ(page.Effects().m_keyPhase[size_t(led)], phase) << led;
        EXPECT_EQ(page.Leds().m_keyHue[size_t(led)], 14) << led;
    }
}

TEST_F(AmbientEffects, SweepHueClimbsByThreeAndStaysAt255) {
    Enter(24, 1, 1);
    page.Leds().m_keyHue[100] = 249;
    Run(24, 1);
    EXPECT_EQ(page.Led(100), Wheel(252, 255));
    Run(24, 1);
    EXPECT_EQ(page.Led(100), Wheel(255, 255));
    Run(24, 1);
    EXPECT_EQ(page.Led(100), Wheel(255, 255));
    // Swept again, a key starts from 0: 3 k after k steps.
    Enter(24, 1, 1);
    Run(24, 1 + 10);
    EXPECT_EQ(page.Led(0), Wheel(33, 255));
}

TEST_F(AmbientEffects, RunningKeysWalkTheOrderAndMakeOneEmptyStep) {
    for (uint8_t direction : {1, 0}) {
        SCOPED_TRACE(int(direction));
        Enter(29, 0, direction);
        if (!direction) {
            Run(29, 1);  // the empty step first
            EXPECT_EQ(page.Leds().m_effectStep, 170);
            for (int n = 0; n < 170; ++n) EXPECT_EQ(page.Leds().m_keyLevel[size_t(n)], 0) << n;
        }
        for (int k = 0; k < 170; ++k) {
            const int entry = direction ? k : 169 - k;
            Run(29, 1);
            const uint8_t n = RunOrder[size_t(entry)];
            if (n >= 170) continue;
            // Lit at 254; keys of the sequence fade at once to 214.
            const uint8_t level = page.Leds().m_keyLevel[n];
            EXPECT_TRUE(level == 254 || level == 214) << "entry " << entry << " LED " << int(n) << " at " << int(level);
        }
        if (direction) {
            Run(29, 1);  // nothing lit on the step after the last entry
            EXPECT_EQ(page.Leds().m_effectStep, 0);
            EXPECT_EQ(page.Leds().m_keyLevel[0], 174);
        }
    }
}

TEST_F(AmbientEffects, PairSequenceHoldsInPhaseOneWhileLed72IsLit) {
    Enter(11, 0, 1);
    Run(11, 20);
    EXPECT_EQ(page.Effects().m_effectPhase, 1);
    Run(11, 31);
    EXPECT_EQ(page.Effects().m_effectPhase, 1);
    ASSERT_GT(page.Leds().m_keyLevel[72], 0);
    int held = 0;
    while (page.Leds().m_keyLevel[72] != 0) {
        EXPECT_EQ(page.Effects().m_effectPhase, 1);
        Run(11, 1);
        ASSERT_LT(++held, 100);
    }
    EXPECT_GT(held, 0);
    Run(11, 1);
    EXPECT_EQ(page.Effects().m_effectPhase, 2);
    Run(11, 1);  // the ripple is seeded at LED 52
    EXPECT_EQ(page.Effects().m_effectPhase, 3);
    int spread = 0;
    while (page.Effects().m_effectPhase == 3) {
        Run(11, 1);
        ASSERT_LT(++spread, 40);
    }
    EXPECT_EQ(page.Effects().m_effectPhase, 4);
    EXPECT_GT(page.Leds().m_keyLevel[105], 0);
}

TEST_F(AmbientEffects, SelfRenewingRipplesLightTheirKeys) {
    Enter(16, 0, 1);
    Run(16, 1);
    EXPECT_EQ(page.Leds().m_keyLevel[0], 0);  // the seed's own column has no key
    Run(16, 2);
    EXPECT_GT(page.Leds().m_keyLevel[0], 0);  // column 2, row 0, one step on
    // From the centre the ripple moves on every third call: LED 90 (column 9,
    // row 4) is reached after two moves.
    Enter(12, 0, 1);
    int calls = 0;
    while (page.Leds().m_keyLevel[90] == 0) {
        Run(12, 1);
        ASSERT_LT(++calls, 20);
    }
    EXPECT_EQ(calls, 7);
}

TEST_F(AmbientEffects, FindSequenceKeyAcceptsOnlyKeysOfTheSequence) {
    EXPECT_EQ(CCorvaneKeyboardDevice::FindSequenceKey(56), 56);
    EXPECT_EQ(CCorvaneKeyboardDevice::FindSequenceKey(77), 77);
    EXPECT_EQ(CCorvaneKeyboardDevice::FindSequenceKey(37), 170);
    EXPECT_EQ(CCorvaneKeyboardDevice::FindSequenceKey(255), 170);
}

}  // namespace
