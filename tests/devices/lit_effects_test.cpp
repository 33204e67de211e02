// The headset's and mouse pad's effects with fixed counters: the wave, the
// running light and ring chase, the sequencer and the per-LED effects.
#include <gtest/gtest.h>

#include "devices/corvane_mouse_pad_device.h"
#include "devices/key_effect_renderer.h"
#include "devices/light_sequencer.h"
#include "devices/lit_effects.h"
#include "link/effect_tables.h"

namespace {

constexpr uint32_t kMarker = 0x7F010203;

LightSetting Setting(uint8_t brightness, uint8_t direction, uint8_t colorful, LedColor rgb = {200, 100, 50, 0}) {
    LightSetting s;
    s.brightness = brightness;
    s.direction = direction;
    s.colorful = colorful;
    s.red = rgb.r;
    s.green = rgb.g;
    s.blue = rgb.b;
    return s;
}

uint8_t Scaled(uint8_t level, uint8_t x) { return uint8_t((unsigned(level) * x) >> 8); }

struct WaveCase {
    const char* name;
    LitEffectShape shape;
    int leds;
    uint8_t colorful;
    uint8_t direction;
    uint8_t counterAfter;  // the step counter after one step from 0
    unsigned first;        // wheel or curve index of LED 0
    unsigned stride;
};

const WaveCase kWaveCases[] = {
    {"HeadsetColourful", kHeadsetEffectShape, 13, 1, 1, 1, 2, 16},
    {"HeadsetColourfulBackwards", kHeadsetEffectShape, 13, 1, 0, 191, 0, 16},
    {"HeadsetPlain", kHeadsetEffectShape, 13, 0, 1, 3, 3, 10},
    {"HeadsetPlainBackwards", kHeadsetEffectShape, 13, 0, 0, 93, 93, 10},
    {"PadColourful", kMousePadEffectShape, 15, 1, 1, 1, 2, 7},
    {"PadPlain", kMousePadEffectShape, 15, 0, 1, 1, 2, 7},
    {"PadPlainBackwards", kMousePadEffectShape, 15, 0, 0, 95, 0, 7},
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const WaveCase& c, std::ostream* out) { *out << c.name; }

class Wave : public ::testing::TestWithParam<WaveCase> {};
INSTANTIATE_TEST_SUITE_P(Variants, Wave, ::testing::ValuesIn(kWaveCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(Wave, OneStepFromZero) {
    const WaveCase& c = GetParam();
    LedState leds;
    leds.SetLedCount(c.leds);
    LitEffects effects(leds, c.shape);
    const LightSetting s = Setting(3, c.direction, c.colorful);
    effects.StepWave(s);
    EXPECT_EQ(leds.m_effectStep, c.counterAfter);
    const unsigned period = c.colorful ? 192 : 96;
    for (int i = 0; i < c.leds; ++i) {
        SCOPED_TRACE(i);
        const unsigned k = (c.first + c.stride * unsigned(i)) % period;
        const LedColor led = leds.GetLed(i);
        if (c.colorful) {
            EXPECT_EQ(led.r, ColorWheel[k].r);
            EXPECT_EQ(led.g, ColorWheel[k].g);
            EXPECT_EQ(led.b, ColorWheel[k].b);
            EXPECT_EQ(led.brightness, BrightnessLevels[3]);
        } else {
            EXPECT_EQ(led.r, 200);
            EXPECT_EQ(led.brightness, Scaled(BrightnessLevels[3], WaveCurve[k]));
        }
    }
}

TEST(WaveSteps, CounterLeftAboveTheCurveStaysInsideIt) {
    LedState leds;
    leds.SetLedCount(13);
    LitEffects effects(leds, kHeadsetEffectShape);
    leds.m_effectStep = 190;  // left by a colourful mode
    effects.StepWave(Setting(5, 1, 0));
    EXPECT_LT(leds.m_effectStep, 96);
}

// Steps the running light until LED 1 lights; returns the steps taken.
int RunUntilLit(LitEffects& effects, LedState& leds, const LightSetting& s) {
    for (int step = 1; step <= 10; ++step) {
        effects.StepRunningLight(s, 7);
        if (leds.GetLed(1).brightness) return step;
    }
    return -1;
}

TEST(RunningLight, HeadsetDrivesPairsWithinItsThirteenLeds) {
    LedState leds;
    leds.SetLedCount(13);
    for (int i = 0; i < 13; ++i) leds.SetLedColor(i, kMarker);
    LitEffects effects(leds, kHeadsetEffectShape);
    effects.SeedRing();
    const LightSetting s = Setting(5, 0, 0);
    // The ring lights its first place on the third step.
    EXPECT_EQ(RunUntilLit(effects, leds, s), 3);
    const uint8_t lit = Scaled(255, 215);
    EXPECT_EQ(leds.GetLed(1).brightness, lit);
    EXPECT_EQ(leds.GetLed(1).r, 200);
    // Pairs {3,12} .. {7,8} are driven (dark yet); 13 and 14 do not exist; LED 0 is no pair's.
    for (int led : {2, 3, 12, 7, 8}) EXPECT_EQ(leds.GetLed(led).brightness, 0) << led;
    EXPECT_EQ(leds.GetLedColor(0), kMarker);
    // Two steps later the lit place has moved on to the second pair.
    effects.StepRunningLight(s, 7);
    effects.StepRunningLight(s, 7);
    effects.StepRunningLight(s, 7);
    EXPECT_GT(leds.GetLed(2).brightness, 0);
}

TEST(RunningLight, PadLightsBothMembersOfAPair) {
    LedState leds;
    leds.SetLedCount(15);
    LitEffects effects(leds, kMousePadEffectShape);
    effects.SeedRing();
    ASSERT_EQ(RunUntilLit(effects, leds, Setting(4, 0, 0)), 3);
    EXPECT_EQ(leds.GetLedColor(14), leds.GetLedColor(1));
    EXPECT_EQ(leds.GetLed(0).brightness, 0);
}

TEST(RunningLight, WithoutSeedEverythingStaysDark) {
    LedState leds;
    leds.SetLedCount(15);
    LitEffects effects(leds, kMousePadEffectShape);
    for (int i = 0; i < 12; ++i) effects.StepRunningLight(Setting(5, 0, 0), 7);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(leds.GetLed(i).brightness, 0);
}

TEST(RingChase, SeededRingWalksOverTheLeds) {
    LedState leds;
    leds.SetLedCount(13);
    LitEffects effects(leds, kHeadsetEffectShape);
    effects.SeedRing();
    const LightSetting s = Setting(5, 1, 0);
    for (int i = 0; i < 3; ++i) effects.StepRingChase(s, 6);
    EXPECT_EQ(leds.GetLed(0).brightness, Scaled(255, 215));
    for (int i = 1; i < 13; ++i) EXPECT_EQ(leds.GetLed(i).brightness, 0) << i;
    // Two steps on, LED 1 has lit and LED 0 has faded on.
    effects.StepRingChase(s, 6);
    effects.StepRingChase(s, 6);
    EXPECT_EQ(leds.GetLed(1).brightness, Scaled(255, 215));
    EXPECT_LT(leds.GetLed(0).brightness, Scaled(255, 215));
    EXPECT_GT(leds.GetLed(0).brightness, 0);
}

TEST(PageDispatch, SpeedIndexSetsTheWavePace) {
    for (const auto& [speed, every] : {std::pair<uint8_t, int>{4, 7}, {0, 28}, {6, 1}}) {
        SCOPED_TRACE(int(speed));
        CCorvaneMousePadDevice page;
        page.SetLedCount(15);
        HeadsetLightBlock block{};
        block[light_block::kMode] = CCorvaneLitDevice::kModeWave;
        block[light_block::kSpeed] = speed;
        page.SetLightBlock(block);
        LightSetting s = Setting(5, 1, 0);
        page.SetLightSetting(s);
        uint32_t passes = 0;
        int steps = 0;
        uint8_t last = page.Leds().m_effectStep;
        for (int pass = 1; pass <= 56; ++pass) {
            page.RunLightPass(passes, 1000);
            if (page.Leds().m_effectStep != last) {
                ++steps;
                last = page.Leds().m_effectStep;
                EXPECT_EQ(pass % every, 0) << "stepped on pass " << pass;
            }
        }
        EXPECT_EQ(steps, 56 / every);
    }
}

TEST(PageDispatch, ModeChangeSeedsTheRing) {
    CCorvaneMousePadDevice page;
    page.SetLedCount(15);
    HeadsetLightBlock block{};
    block[light_block::kMode] = CCorvaneLitDevice::kModeRingChase;
    block[light_block::kSpeed] = 9;  // every pass
    page.SetLightBlock(block);
    page.SetLightSetting(Setting(5, 1, 0));
    uint32_t passes = 0;
    for (int i = 0; i < 3; ++i) page.RunLightPass(passes, 0);
    EXPECT_GT(page.Leds().GetLed(0).brightness, 0);
}

// --- Sequencer -------------------------------------------------------------------------

struct SequencerRig {
    LedState leds;
    win::CCriticalSection lock;
    std::vector<LedEffectStep> steps;
    int index = 0;
    LightSequencer sequencer;

    SequencerRig() { leds.SetLedCount(15); }
    void Run(uint32_t now, uint8_t pageSpeed = 2) { sequencer.Run(leds, {lock, steps, index}, pageSpeed, now); }
};

LedEffectStep Step(uint8_t mode, uint8_t speed, LedColor rgb, int32_t durationMs) {
    LedEffectStep step;
    step.setting = Setting(5, 0, 0, rgb);
    step.setting.mode = mode;
    step.setting.speed = speed;
    step.time = durationMs;
    return step;
}

TEST(Sequencer, EmptyPlaylistDarkensEveryLed) {
    SequencerRig rig;
    for (int i = 0; i < 15; ++i) rig.leds.SetLedColor(i, kMarker);
    rig.index = 3;
    rig.Run(10);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(rig.leds.GetLedColor(i), 0u);
    EXPECT_EQ(rig.index, 0);
}

TEST(Sequencer, DurationZeroStepIsReplacedAfterTheFirstMillisecond) {
    SequencerRig rig;
    rig.steps = {Step(1, 9, {255, 0, 0, 0}, 0), Step(1, 9, {0, 0, 255, 0}, 1000)};
    rig.Run(100);
    EXPECT_EQ(rig.index, 0);
    EXPECT_EQ(rig.leds.GetLed(0).r, 255);
    rig.Run(101);
    EXPECT_EQ(rig.index, 1);
    rig.Run(102);
    EXPECT_EQ(rig.leds.GetLed(0).b, 255);
    EXPECT_EQ(rig.leds.GetLed(0).r, 0);
    // The second step, taken at 101, holds for its second.
    rig.Run(1101);
    EXPECT_EQ(rig.index, 1);
    rig.Run(1102);
    EXPECT_EQ(rig.index, 0);
}

TEST(Sequencer, ColourfulBreathingMovesOnToTheNextHueAfterEachBreath) {
    SequencerRig rig;
    LedEffectStep breathing = Step(0, 9, {}, 1000000);
    breathing.setting.colorful = 1;
    rig.steps = {breathing};
    for (int pass = 0; pass < 127; ++pass) rig.Run(1);
    const LedColor first = rig.leds.GetLed(0);
    EXPECT_EQ(first.r, ColorWheel[0].r);
    EXPECT_EQ(first.g, ColorWheel[0].g);
    rig.Run(1);  // the breath ends: phase 0 and the next hue
    rig.Run(1);
    const LedColor next = rig.leds.GetLed(0);
    EXPECT_EQ(next.r, ColorWheel[16].r);
    EXPECT_EQ(next.g, ColorWheel[16].g);
}

// --- Per-LED effects ----------------------------------------------------------------------

LightSetting Entry(uint8_t type, uint8_t present, uint8_t speed = 0) {
    LightSetting e = Setting(5, 0, 0, {10, 20, 30, 0});
    e.mode = type;
    e.present = present;
    e.speed = speed;
    return e;
}

TEST(KeyEffects, OnlyPresentEntriesBreatheCycleAndFlash) {
    LedState leds;
    leds.SetLedCount(6);
    for (int i = 0; i < 6; ++i) leds.SetLedColor(i, kMarker);
    const std::vector<LightSetting> list = {
        Entry(KeyEffectRenderer::kBreathing, 1),  Entry(KeyEffectRenderer::kBreathing, 0),
        Entry(KeyEffectRenderer::kColorCycle, 1), Entry(KeyEffectRenderer::kColorCycle, 0),
        Entry(KeyEffectRenderer::kFlash, 1),      Entry(KeyEffectRenderer::kFlash, 0)};
    KeyEffectRenderer renderer;
    renderer.Reset(list);
    renderer.Render(leds, list, 10000);
    // Breathing: phase 0 + speed 0 + 4.
    EXPECT_EQ(renderer.BreathPhase(0), 4);
    EXPECT_EQ(leds.GetLed(0).brightness, Scaled(255, BreathCurve[4]));
    EXPECT_EQ(renderer.BreathPhase(1), 0);
    EXPECT_EQ(leds.GetLedColor(1), kMarker);
    EXPECT_EQ(leds.GetLed(2).brightness, 255);
    EXPECT_EQ(leds.GetLedColor(3), kMarker);
    // The flash toggled on at its first look (period 5600 ms from time 0).
    EXPECT_EQ(leds.GetLed(4).r, 10);
    EXPECT_EQ(leds.GetLedColor(5), kMarker);
}

TEST(KeyEffects, EntriesBeyondTheLedCountAreIgnored) {
    LedState leds;
    leds.SetLedCount(2);
    std::vector<LightSetting> list(5, Entry(KeyEffectRenderer::kStatic, 1));
    KeyEffectRenderer renderer;
    renderer.Reset(list);
    renderer.Render(leds, list, 0);
    EXPECT_EQ(leds.GetLed(1).r, 10);
    EXPECT_EQ(leds.GetLedCount(), 2);
}

TEST(KeyEffects, BreathingHueSettlesBetween191And192) {
    LedState leds;
    leds.SetLedCount(1);
    const std::vector<LightSetting> list = {Entry(KeyEffectRenderer::kBreathing, 1, 124)};  // a breath every pass
    KeyEffectRenderer renderer;
    renderer.Reset(list);
    for (int i = 0; i < 192; ++i) renderer.Render(leds, list, 0);
    EXPECT_EQ(renderer.BreathHue(0), 192);
    renderer.Render(leds, list, 0);
    EXPECT_EQ(renderer.BreathHue(0), 191);
    renderer.Render(leds, list, 0);
    EXPECT_EQ(renderer.BreathHue(0), 192);
}

}  // namespace
