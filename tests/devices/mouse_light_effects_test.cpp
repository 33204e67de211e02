// The mouse's own lighting steps with fixed counters: the wave over the
// mirrored groups, the running light's ring, the triggered fade, and the
// step period of each speed.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "devices/key_effect_renderer.h"
#include "devices/mouse_light_effects.h"
#include "link/effect_tables.h"

namespace {

constexpr int kLeds = 15;

LightSetting Setting(uint8_t brightness, uint8_t direction, uint8_t colorful) {
    LightSetting s;
    s.brightness = brightness;
    s.direction = direction;
    s.colorful = colorful;
    s.red = 200;
    s.green = 100;
    s.blue = 50;
    return s;
}

uint8_t Scaled(uint8_t level, uint8_t x) { return uint8_t((unsigned(level) * x) >> 8); }

struct MouseLeds {
    explicit MouseLeds(int count = kLeds) { leds.SetLedCount(count); }
    LedState leds;
    uint8_t step = 0;
    MouseTriggerStates triggers{};
    MouseLightEffects effects{leds, step, triggers};
};

struct WaveCase {
    const char* name;
    uint8_t colorful;
    uint8_t direction;
    uint8_t stepBefore;
    uint8_t stepAfter;
    unsigned first;  // wheel or curve index of group 0
};

const WaveCase kWaveCases[] = {
    {"ColourfulForward", 1, 1, 0, 1, 2},   {"ColourfulBackward", 1, 0, 0, 191, 0},
    {"ColourfulWraps", 1, 1, 190, 191, 0}, {"PlainForward", 0, 1, 0, 1, 2},
    {"PlainBackward", 0, 0, 0, 95, 0},     {"PlainCounterLeftHighByAnotherMode", 0, 1, 150, 0, 1},
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const WaveCase& c, std::ostream* out) { *out << c.name; }

class MouseWave : public ::testing::TestWithParam<WaveCase> {};
INSTANTIATE_TEST_SUITE_P(Variants, MouseWave, ::testing::ValuesIn(kWaveCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(MouseWave, GroupsFollowTheCounterAndMirror) {
    const WaveCase& c = GetParam();
    MouseLeds m;
    m.step = c.stepBefore;
    const LightSetting s = Setting(3, c.direction, c.colorful);
    m.effects.StepWave(s);
    EXPECT_EQ(m.step, c.stepAfter);
    const unsigned length = c.colorful ? 192 : 96;
    unsigned index = c.first;
    for (int g = 0; g < 7; ++g) {
        const LedColor led = m.leds.GetLed(g);
        if (c.colorful) {
            EXPECT_EQ(led.r, ColorWheel[index].r) << "group " << g;
            EXPECT_EQ(led.g, ColorWheel[index].g) << "group " << g;
            EXPECT_EQ(led.b, ColorWheel[index].b) << "group " << g;
            EXPECT_EQ(led.brightness, BrightnessLevels[3]) << "group " << g;
        } else {
            EXPECT_EQ(led.r, 200);
            EXPECT_EQ(led.brightness, Scaled(BrightnessLevels[3], WaveCurve[index])) << "group " << g;
        }
        index = (index + 7) % length;
    }
    // LEDs 13..7 mirror LEDs 0..6; LED 14 follows group 6.
    for (int g = 0; g < 7; ++g) EXPECT_EQ(m.leds.GetLedColor(13 - g), m.leds.GetLedColor(g)) << "group " << g;
    EXPECT_EQ(m.leds.GetLedColor(14), m.leds.GetLedColor(6));
}

TEST(MouseWave, FewerLedsLeaveTheMirrorsAlone) {
    MouseLeds m(7);
    m.effects.StepWave(Setting(5, 1, 1));
    for (int i = 0; i < 7; ++i) EXPECT_NE(m.leds.GetLed(i).brightness, 0) << i;
    EXPECT_EQ(m.leds.GetLedColor(13), 0u);  // outside the vector
}

TEST(MouseWave, BrightnessFromTheDeviceIsClamped) {
    MouseLeds m;
    m.effects.StepWave(Setting(200, 1, 1));
    EXPECT_EQ(m.leds.GetLed(0).brightness, BrightnessLevels[5]);
}

// The group the running light has just lit: its level is a fresh 255 after
// one fade of the running light (255 - 40).
int JustLitGroup(const LedState& leds) {
    int lit = -1;
    for (int g = 0; g < 7; ++g)
        if (leds.m_keyLevel[size_t(g)] == 215) {
            EXPECT_EQ(lit, -1) << "two groups lit at once";
            lit = g;
        }
    return lit;
}

TEST(MouseRunningLight, TheRingLightsOneGroupPerStep) {
    for (uint8_t direction : {uint8_t(1), uint8_t(0)}) {
        MouseLeds m;
        m.leds.ClearFadeState();
        m.leds.m_ring[0] = 1;
        std::vector<int> lit;
        for (int step = 0; step < 2 * 23; ++step) {
            m.effects.StepRunningLight(Setting(5, direction, 0), 5);
            lit.push_back(JustLitGroup(m.leds));
        }
        std::vector<int> expected;
        for (int round = 0; round < 2; ++round)
            for (int place = 0; place < 23; ++place) {
                // Forward the ring walks 0, 1, 2 ...; backward 0, 22, 21 ...
                const int at = direction ? place : (23 - place) % 23;
                expected.push_back(at < 7 ? at : -1);
            }
        EXPECT_EQ(lit, expected) << "direction " << int(direction);
        // Shown levels follow the fade levels.
        for (int g = 0; g < 7; ++g)
            EXPECT_EQ(m.leds.GetLed(g).brightness, Scaled(BrightnessLevels[5], m.leds.m_keyLevel[size_t(g)]));
    }
}

TEST(MouseRunningLight, ColourfulGroupsKeepTheirColourWhileTheHeadGlows) {
    for (uint8_t direction : {uint8_t(1), uint8_t(0)}) {
        MouseLeds m;
        m.leds.ClearFadeState();
        for (int i = 0; i < kLeds; ++i) m.leds.SetLedColor(i, PackLedColor({10, uint8_t(i), 30, 255}));
        const int head = direction ? 0 : 6;
        m.leds.m_keyLevel[size_t(head)] = 200;
        m.step = 0;
        m.effects.StepRunningLight(Setting(5, direction, 1), 5);
        for (int g = 0; g < 7; ++g) {
            const LedColor led = m.leds.GetLed(g);
            EXPECT_EQ(led.g, g) << "group " << g;
            EXPECT_EQ(led.brightness, Scaled(BrightnessLevels[5], m.leds.m_keyLevel[size_t(g)]));
            EXPECT_EQ(m.leds.GetLedColor(13 - g), m.leds.GetLedColor(g));
        }
    }
}

TEST(MouseRunningLight, ColourfulGroupsTakeWheelColoursOnceTheHeadIsDark) {
    MouseLeds m;
    m.leds.ClearFadeState();  // no ring place set: nothing lights
    m.step = 100;
    m.effects.StepRunningLight(Setting(5, 1, 1), 5);
    // The counter moved on by one, then by 12 per group.
    unsigned step = 101;
    for (int g = 0; g < 7; ++g) {
        step = (step + 12) & 0xFF;
        const unsigned h = step >= 192 ? step - 192 : step;
        EXPECT_EQ(m.leds.GetLed(g).r, ColorWheel[h].r) << "group " << g;
        EXPECT_EQ(m.leds.GetLed(g).b, ColorWheel[h].b) << "group " << g;
    }
    EXPECT_EQ(m.step, uint8_t(101 + 7 * 12));
}

TEST(MouseTriggeredFade, DarkUntilTriggeredThenFullAndDarkAfterSeventeenSteps) {
    MouseLeds m;
    for (int i = 0; i < kLeds; ++i) m.leds.SetLedColor(i, PackLedColor({1, 2, 3, 255}));
    m.leds.ClearFadeState();  // entering the mode
    const LightSetting s = Setting(4, 0, 1);
    m.effects.StepTriggeredFade(s);
    for (int i = 0; i < kLeds; ++i) EXPECT_EQ(m.leds.GetLed(i).brightness, 0) << i;

    std::vector<uint32_t> draws = {5, 200, 191, 192, 1000, 7, 8, 9, 10, 11, 12, 13, 14, 383, 70000};
    size_t next = 0;
    m.effects.Trigger([&] { return draws[next++]; });
    ASSERT_EQ(next, size_t(kLeds));
    for (int i = 0; i < kLeds; ++i) EXPECT_EQ(m.triggers[size_t(i)].load(), MouseLightEffects::kRising);

    m.effects.StepTriggeredFade(s);
    const uint8_t full = Scaled(BrightnessLevels[4], 255);
    for (int i = 0; i < kLeds; ++i) {
        const uint8_t hue = uint8_t(draws[size_t(i)] % 192);
        EXPECT_EQ(m.triggers[size_t(i)].load(), MouseLightEffects::kFalling);
        EXPECT_EQ(m.leds.GetLed(i).brightness, full) << i;
        EXPECT_EQ(m.leds.GetLed(i).r, ColorWheel[hue].r) << i;
        EXPECT_EQ(m.leds.GetLed(i).g, ColorWheel[hue].g) << i;
    }
    int stepsToDark = 0;
    while (m.leds.GetLed(0).brightness != 0 && stepsToDark < 100) {
        m.effects.StepTriggeredFade(s);
        ++stepsToDark;
        for (int i = 0; i < kLeds; ++i)
            EXPECT_EQ(m.leds.GetLed(i).brightness, Scaled(BrightnessLevels[4], m.leds.m_keyLevel[size_t(i)]));
    }
    EXPECT_EQ(stepsToDark, 17);
    m.effects.StepTriggeredFade(s);
    EXPECT_EQ(m.leds.GetLedColor(3) >> 24, 0u);
}

TEST(MouseTriggeredFade, PlainColourAndFallingLevels) {
    MouseLeds m;
    m.leds.ClearFadeState();
    m.effects.Trigger([] { return 0u; });
    const LightSetting s = Setting(5, 0, 0);
    std::vector<int> levels;
    for (int step = 0; step < 4; ++step) {
        m.effects.StepTriggeredFade(s);
        levels.push_back(m.leds.m_keyLevel[9]);
    }
    EXPECT_EQ(levels, (std::vector<int>{255, 240, 225, 210}));
    const LedColor led = m.leds.GetLed(9);
    EXPECT_EQ(led.r, 200);
    EXPECT_EQ(led.g, 100);
    EXPECT_EQ(led.b, 50);
}

TEST(MouseStepPeriod, PerSpeedAndBoundedPastTheTable) {
    const std::vector<uint32_t> expected = {28, 23, 18, 13, 7, 0, 0, 0};
    std::vector<uint32_t> got;
    for (uint8_t speed : {0, 1, 2, 3, 4, 5, 15, 255}) got.push_back(MouseStepPeriod(speed));
    EXPECT_EQ(got, expected);
}

}  // namespace

namespace {

// The per-LED effects one kind at a time, as the mouse applies them: each
// pass touches only the LEDs of its kind, and a reset starts it over.
TEST(KeyEffectPasses, EachPassDrawsOnlyItsKind) {
    LedState leds;
    leds.SetLedCount(4);
    std::vector<LightSetting> effects(4);
    const uint8_t kinds[] = {KeyEffectRenderer::kBreathing, KeyEffectRenderer::kFlash, KeyEffectRenderer::kColorCycle,
                             KeyEffectRenderer::kStatic};
    for (size_t i = 0; i < 4; ++i) {
        effects[i].mode = kinds[i];
        effects[i].present = 1;
        effects[i].brightness = 5;
        effects[i].red = 200;
    }
    constexpr uint32_t kMarker = 0x11223344;
    for (int i = 0; i < 4; ++i) leds.SetLedColor(i, kMarker);
    KeyEffectRenderer renderer;

    renderer.BreathingPass(leds, effects, true);
    EXPECT_NE(leds.GetLedColor(0), kMarker);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(leds.GetLedColor(i), kMarker) << i;

    renderer.FlashPass(leds, effects, 100000, true);
    EXPECT_NE(leds.GetLedColor(1), kMarker);
    for (int i = 2; i < 4; ++i) EXPECT_EQ(leds.GetLedColor(i), kMarker) << i;

    renderer.ColorCyclePass(leds, effects, true);
    EXPECT_EQ(leds.GetLed(2).brightness, BrightnessLevels[5]);
    EXPECT_EQ(leds.GetLedColor(3), kMarker) << "static is no pass of these";

    // Without a reset the breathing goes on; with one it starts again.
    const uint8_t first = renderer.BreathPhase(0);
    renderer.BreathingPass(leds, effects, false);
    EXPECT_NE(renderer.BreathPhase(0), first);
    renderer.BreathingPass(leds, effects, true);
    EXPECT_EQ(renderer.BreathPhase(0), first);
}

}  // namespace
