// The effect playlist and the per-key effects on a page without a device,
// with the test's clock: what each step kind draws and when, the switch from
// step to step, the empty list, the flash period, the breathing colours, two
// pages playing at once, and the per-key passes with their present flag.
#include <thread>

#include "tests/keyboard/effect_test_support.h"

namespace {

using namespace kbtest;

LedEffectStep Step(uint8_t kind, uint8_t speed, int32_t durationMs, uint8_t colorful = 0, uint8_t r = 200,
                   uint8_t g = 100, uint8_t b = 50) {
    LedEffectStep step;
    step.setting.mode = kind;
    step.setting.brightness = 5;
    step.setting.speed = speed;
    step.setting.colorful = colorful;
    step.setting.red = r;
    step.setting.green = g;
    step.setting.blue = b;
    step.time = durationMs;
    return step;
}

const LedColor kMarker{1, 2, 3, 4};

class Playlist : public ::testing::Test {
protected:
    void Play(int calls) {
        for (int i = 0; i < calls; ++i) page.RunEffectPlaylist();
    }
    EffectPage page;
};

struct KindCase {
    const char* name;
    LedEffectStep step;
    int calls;  // the frame comes on the last one
    LedColor expected;
    const LedState* frame = nullptr;  // a frame that differs from LED to LED
};

TEST_F(Playlist, EachKindDrawsItsFrameWhenItsPeriodHasPassed) {
    LedState reference;
    reference.SetLedCount(170);
    reference.RenderWaveFrame(Step(4, 4, 100000).setting, 1);
    const KindCase cases[] = {
        // Speed 4: a frame every 7 calls, and nothing before.
        {"breathing", Step(0, 4, 100000), 7, Rgb(200, 100, 50, Shade(BreathCurve[1]))},
        {"breathing, early", Step(0, 4, 100000), 6, kMarker},
        {"static", Step(1, 4, 100000), 7, Rgb(200, 100, 50, 255)},
        {"static, speed 0", Step(1, 0, 100000), 28, Rgb(200, 100, 50, 255)},
        {"static, speed 0, early", Step(1, 0, 100000), 27, kMarker},
        {"wave", Step(4, 4, 100000), 7, reference.GetLed(0), &reference},
        {"colour cycle", Step(5, 4, 100000), 1, Wheel(1, 255)},
        {"colour cycle, speed 0", Step(5, 0, 100000), 8, Wheel(1, 255)},
        {"kind 3 draws nothing", Step(3, 4, 100000), 30, kMarker},
        {"unknown kind draws nothing", Step(9, 4, 100000), 30, kMarker},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        EffectPage fresh;
        fresh.SetPlaylist({c.step});
        fresh.Fill(kMarker);
        for (int i = 0; i < c.calls; ++i) fresh.RunEffectPlaylist();
        EXPECT_EQ(fresh.Led(0), c.expected);
        for (int i = 1; i < 170; ++i) ASSERT_EQ(fresh.Led(i), c.frame ? c.frame->GetLed(i) : c.expected) << i;
    }
}

TEST_F(Playlist, FlashTogglesOnThePagesSpeedNotTheSteps) {
    page.Set(0, 0, 1, 0);  // the page's speed 0: 5600 ms
    page.SetPlaylist({Step(2, 4, 100000)});
    Play(1);
    EXPECT_EQ(page.Led(0), LedColor{});
    page.clock.Advance(1400);  // the step's own period
    Play(1);
    EXPECT_EQ(page.Led(0), LedColor{});
    page.clock.Advance(5600 - 1400);
    Play(1);
    EXPECT_EQ(page.Led(0), Rgb(200, 100, 50, 255));
    // Colourful: the hue is the phase at the toggle plus 14.
    page.SetPlaylist({Step(2, 4, 100000, 1)});
    page.clock.Advance(5600);
    Play(1);
    EXPECT_EQ(page.Led(0), LedColor{});
    page.clock.Advance(5600);
    Play(1);
    EXPECT_EQ(page.Led(0), Wheel(uint8_t(page.Effects().m_player.phase + 14), 255));
}

TEST_F(Playlist, ColourfulBreathingTakesTheNextWheelColourEveryBreath) {
    page.SetPlaylist({Step(0, 5, 100000, 1)});  // speed 5: a frame on every call
    Play(127);
    EXPECT_EQ(page.Led(0), Wheel(0, Shade(BreathCurve[127])));
    Play(1);  // the phase wraps to 0
    EXPECT_EQ(page.Led(0), Wheel(16, 0));
    Play(128 * 11);
    EXPECT_EQ(page.Led(0), Wheel(192, 0));
    Play(128);
    EXPECT_EQ(page.Led(0), Wheel(0, 0));  // back to 0 above 192
    Play(1);
    EXPECT_EQ(page.Led(0), Wheel(0, Shade(BreathCurve[1])));
}

TEST_F(Playlist, StepsSwitchAfterTheirDurationAndWrap) {
    page.SetPlaylist({Step(1, 5, 10, 0, 255, 0, 0), Step(1, 5, 0, 0, 0, 255, 0)});
    Play(1);
    EXPECT_EQ(page.Led(0), Rgb(255, 0, 0, 255));
    page.clock.Advance(10);
    Play(1);  // 10 ms is not past the duration
    EXPECT_EQ(page.PlaylistIndex(), 0);
    page.clock.Advance(1);
    Play(1);  // drawn by the first step, then switched
    EXPECT_EQ(page.Led(0), Rgb(255, 0, 0, 255));
    EXPECT_EQ(page.PlaylistIndex(), 1);
    Play(1);  // duration 0: one call, then as long as the clock stands
    EXPECT_EQ(page.Led(0), Rgb(0, 255, 0, 255));
    EXPECT_EQ(page.PlaylistIndex(), 1);
    page.clock.Advance(1);
    Play(1);
    EXPECT_EQ(page.PlaylistIndex(), 0);  // wrapped
    Play(1);
    EXPECT_EQ(page.Led(0), Rgb(255, 0, 0, 255));
}

TEST_F(Playlist, EmptyListTurnsEveryLedOff) {
    page.Fill(kMarker);
    Play(1);
    for (int i : {0, 85, 169}) EXPECT_EQ(page.Led(i), LedColor{}) << i;
    page.SetPlaylist({Step(1, 5, 100)});
    Play(1);
    page.SetPlaylist({});
    Play(1);
    EXPECT_EQ(page.Led(0), LedColor{});
}

TEST_F(Playlist, TwoPagesOnTwoThreadsKeepTheirOwnPlayers) {
    EffectPage other;
    page.SetPlaylist({Step(0, 5, 100000, 0, 255, 0, 0)});
    other.SetPlaylist({Step(0, 5, 100000, 0, 0, 0, 255)});
    constexpr int kCalls = 1000;
    std::thread first([&] { Play(kCalls); });
    std::thread second([&] {
        for (int i = 0; i < 3 * kCalls; ++i) other.RunEffectPlaylist();
    });
    first.join();
    second.join();
    // Each breathes at its own pace from its own phase.
    EXPECT_EQ(page.Effects().m_player.phase, kCalls % 128);
    EXPECT_EQ(other.Effects().m_player.phase, (3 * kCalls) % 128);
    EXPECT_EQ(page.Led(0), Rgb(255, 0, 0, Shade(BreathCurve[kCalls % 128])));
    EXPECT_EQ(other.Led(0), Rgb(0, 0, 255, Shade(BreathCurve[(3 * kCalls) % 128])));
}

// --- Per-key effects -----------------------------------------------------------------

LightSetting KeyEffect(uint8_t type, uint8_t present, uint8_t speed = 0, uint8_t colorful = 0) {
    LightSetting e;
    e.mode = type;
    e.brightness = 5;
    e.speed = speed;
    e.colorful = colorful;
    e.red = 9;
    e.green = 8;
    e.blue = 7;
    e.present = present;
    return e;
}

TEST_F(Playlist, PerKeyPassesDrawOnlyPresentRecords) {
    std::vector<LightSetting> effects(170, KeyEffect(0, 0));
    effects[0] = KeyEffect(0, 1, 4);  // breathing
    effects[2] = KeyEffect(3, 1, 4);  // colour cycle, every 7 passes
    effects[3] = KeyEffect(3, 0, 4);
    effects[4] = KeyEffect(2, 1, 4);  // flash, 1400 ms
    effects[5] = KeyEffect(2, 0, 4);
    effects[6] = KeyEffect(1, 1);  // static
    effects[7] = KeyEffect(4, 1);  // off
    page.SetKeyEffects(effects);
    page.Fill(kMarker);
    page.RenderKeyBreathing(effects, true);
    page.RenderKeyColorCycle(effects, true);
    page.RenderKeyFlash(effects, true);
    page.Fill(kMarker);
    page.clock.Advance(1400);
    page.ApplyKeyOverlays();
    EXPECT_EQ(page.Led(0), Rgb(9, 8, 7, Shade(BreathCurve[16])));  // 4 + speed on the reset pass and this one
    EXPECT_EQ(page.Led(1), kMarker);                               // absent breathing record
    EXPECT_EQ(page.Led(2), Wheel(0, 255));
    EXPECT_EQ(page.Led(3), kMarker);
    EXPECT_EQ(page.Led(4), Rgb(9, 8, 7, 255));           // toggled on
    EXPECT_EQ(page.Led(5), kMarker);                     // absent: not drawn ...
    EXPECT_EQ(page.Effects().m_overlays.flashOn[5], 1);  // ... though its timer runs
    EXPECT_EQ(page.Led(6), Rgb(9, 8, 7, 255));
    EXPECT_EQ(page.Led(7), LedColor{});
    for (int i = 0; i < 6; ++i) page.ApplyKeyOverlays();
    EXPECT_EQ(page.Led(2), Wheel(1, 255));
    page.clock.Advance(1400);
    page.ApplyKeyOverlays();
    EXPECT_EQ(page.Led(4), LedColor{});
}

TEST_F(Playlist, PerKeyBreathingHueClimbsOnceThenAlternates) {
    std::vector<LightSetting> effects(170, KeyEffect(0, 0));
    effects[0] = KeyEffect(0, 1, 124, 1);  // a full breath on every pass
    page.RenderKeyBreathing(effects, true);
    for (int i = 0; i < 190; ++i) page.RenderKeyBreathing(effects, false);
    EXPECT_EQ(page.Effects().m_overlays.breathHue[0], 191);
    page.RenderKeyBreathing(effects, false);
    EXPECT_EQ(page.Effects().m_overlays.breathHue[0], 192);
    page.RenderKeyBreathing(effects, false);
    EXPECT_EQ(page.Effects().m_overlays.breathHue[0], 191);
}

}  // namespace
