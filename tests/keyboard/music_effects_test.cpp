// The keyboard's music styles, the beat detector and the screen-colour mode:
// which keys light, in which colours, for silence, full scale and above.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/key_position_table.h"
#include "link/effect_tables.h"
#include "platform/screen/synthetic_screen_source.h"
#include "tests/keyboard/keyboard_test_support.h"

namespace {

using Bands = std::array<int32_t, 25>;
using KeySet = std::set<int>;

constexpr RgbEntry kForeground{200, 10, 0};
constexpr RgbEntry kBackground{0, 0, 40};

Bands All(int32_t v) {
    Bands b;
    b.fill(v);
    return b;
}

// The keys of the matrix in `row` whose column lies in [first, last].
KeySet RowKeys(int row, int first = 0, int last = kMatrixColumns - 1) {
    KeySet keys;
    for (int c = first; c <= last; ++c)
        if (KeyMatrix[size_t(c)][size_t(row)] < kKeyPositionCount) keys.insert(KeyMatrix[size_t(c)][size_t(row)]);
    return keys;
}

KeySet Rows(std::initializer_list<int> rows) {
    KeySet keys;
    for (int r : rows) keys.merge(RowKeys(r));
    return keys;
}

// The keys of the rings that the key sequence holds.
KeySet RingKeys() {
    KeySet keys;
    for (const auto& ring : RingMatrix)
        for (uint8_t k : ring)
            if (std::find(KeySequence.begin(), KeySequence.begin() + kKeySequenceKeys, k) !=
                KeySequence.begin() + kKeySequenceKeys)
                keys.insert(k);
    return keys;
}

class MusicEffects : public ::testing::Test {
protected:
    void SetUp() override { kbtest::SetUpPage(page); }

    // Mode 21 with the style, brightness 5 and the test colours, entered as
    // the profile operations enter it (the effect state reset).
    void SetStyle(uint8_t style, bool wheel = false, uint8_t mode = 21) {
        LightSetting s;
        s.mode = mode;
        s.brightness = 5;
        s.speed = 4;
        s.direction = 1;  // counters count up
        page.SetLightSetting(s);
        AudioLightSetting a;
        a.mode = style;
        a.fgRed = kForeground.r;
        a.fgGreen = kForeground.g;
        a.fgBlue = kForeground.b;
        a.bkRed = kBackground.r;
        a.bkGreen = kBackground.g;
        a.bkBlue = kBackground.b;
        a.sevenColor = wheel ? 1 : 0;
        page.SetAudioLightInfo(a);
        page.ApplyLightProfile();
        ASSERT_EQ(page.GetRunningMode(), mode);
    }
    void Step(const Bands& levels) {
        page.SetAudioSpectrum(levels.data(), int(levels.size()));
        page.StepMusic();
    }
    // Keys that a step lit (level 255).
    KeySet Lit() {
        KeySet keys;
        for (int i = 0; i < int(kKeyPositionCount); ++i)
            if (page.Leds().m_keyLevel[size_t(i)] == 255) keys.insert(i);
        return keys;
    }
    LedColor Led(int i) { return page.Leds().GetLed(i); }
    static bool Is(LedColor led, RgbEntry c, uint8_t level) {
        return led.r == c.r && led.g == c.g && led.b == c.b && led.brightness == level;
    }
    bool RippleSeededAt(int column, int row) {
        for (const auto& plane : page.Effects().m_rippleBits)
            if (!(plane[size_t(column)] & (1u << row))) return false;
        return true;
    }

    CCorvaneKeyboardDevice page;
};

struct LitCase {
    uint8_t style;
    const char* what;
    Bands levels;
    KeySet lit;
};

TEST_F(MusicEffects, EachStyleLightsTheKeysItsLevelsReach) {
    Bands column2 = All(0);
    column2[2] = 2000;
    Bands lowGroup1000 = All(0), lowGroup2000 = All(0), lowGroup2100 = All(0);
    // Style 5's bottom row shows the first group (levels 0 and 1, summed / 3).
    lowGroup1000[0] = lowGroup1000[1] = 1500;
    lowGroup2000[0] = lowGroup2000[1] = 3000;
    lowGroup2100[0] = lowGroup2100[1] = 3150;
    const KeySet none;
    const LitCase cases[] = {
        {0, "silence: t = 7, nothing", All(0), none},
        {0, "full scale: t = 1, rows 1..5", All(2000), Rows({1, 2, 3, 4, 5})},
        {0, "above full scale: t = 0, every row", All(2100), Rows({0, 1, 2, 3, 4, 5})},
        {0, "one column", column2, {21, 42, 63, 84, 105}},
        {1, "silence", All(0), none},
        {1, "full scale: left 2..8, right 9..19", All(2000),
         [] {
             KeySet k;
             for (int r = 0; r < 6; ++r) k.merge(RowKeys(r, 0, 19));
             return k;
         }()},
        {1, "above full scale lights what full scale lights", All(2100),
         [] {
             KeySet k;
             for (int r = 0; r < 6; ++r) k.merge(RowKeys(r, 0, 19));
             return k;
         }()},
        {3, "silence: no ring", All(0), none},
        {3, "full scale: every ring", All(2000), RingKeys()},
        {3, "above full scale: every ring", All(2100), RingKeys()},
        {5, "silence", All(0), none},
        {5, "bottom group at 1000 (H 300): columns up to 8", lowGroup1000, RowKeys(5, 0, 8)},
        {5, "bottom group at 2000 (H 0): columns up to 20", lowGroup2000, RowKeys(5, 0, 20)},
        {5, "bottom group at 2100 lights what 2000 lights", lowGroup2100, RowKeys(5, 0, 20)},
        {6, "silence", All(0), none},
        {6, "every group at full scale or more: every row from its side", All(6000), Rows({0, 1, 2, 3, 4, 5})},
        {6, "louder still lights the same", All(6300), Rows({0, 1, 2, 3, 4, 5})},
    };
    for (const LitCase& c : cases) {
        SCOPED_TRACE("style " + std::to_string(c.style) + ": " + c.what);
        SetStyle(0, false, 20);  // a mode change resets the effect state
        SetStyle(c.style);
        Step(c.levels);
        EXPECT_EQ(Lit(), c.lit);
    }
}

TEST_F(MusicEffects, LitKeysShowTheForegroundAndDarkKeysTheBackground) {
    SetStyle(0);
    Step(All(2000));
    EXPECT_TRUE(Is(Led(105), kForeground, 254)) << "a lit key at full level (255 x 255 >> 8)";
    EXPECT_TRUE(Is(Led(0), kBackground, 255)) << "a dark key in the background colour";

    // The next step without new levels: the bars fall back from their tips.
    page.StepMusic();
    EXPECT_EQ(page.Leds().m_keyLevel[21], 210) << "the tip fades";
    EXPECT_EQ(page.Leds().m_keyLevel[105], 255) << "a key below a lit key stands";
    EXPECT_TRUE(Is(Led(21), kForeground, 209));
}

TEST_F(MusicEffects, WheelFlagDrawsWheelColours) {
    SetStyle(0, /*wheel=*/true);
    Step(All(2100));
    // Column c's hue: the step counter (1) plus 10 per column from column 0.
    const uint8_t hue2 = uint8_t(1 + 10 * 3);
    const LedColor led = Led(21);
    EXPECT_TRUE(Is(led, ColorWheel[hue2], 254)) << int(led.r) << "," << int(led.g) << "," << int(led.b);
}

TEST_F(MusicEffects, SilenceFadesEveryBarToTheBackground) {
    SetStyle(0);
    Step(All(2100));
    // A bar collapses key by key from its tip.
    for (int i = 0; i < 80; ++i) Step(All(0));
    EXPECT_TRUE(Lit().empty());
    for (int k : Rows({0, 1, 2, 3, 4, 5})) {
        EXPECT_EQ(page.Leds().m_keyLevel[size_t(k)], 0) << k;
        EXPECT_TRUE(Is(Led(k), kBackground, 255)) << k;
    }
}

TEST_F(MusicEffects, LevelsAreUsedOnceAndStopWhenNoneArrive) {
    SetStyle(0);
    page.SetAudioSpectrum(All(2100).data(), 25);
    page.StepMusic();
    EXPECT_EQ(Lit().size(), Rows({0, 1, 2, 3, 4, 5}).size());
    page.StepMusic();
    EXPECT_EQ(page.Leds().m_keyLevel[0], 210) << "the second step sees zeros: the tips fade";
    for (int32_t v : page.Effects().m_musicBands) EXPECT_EQ(v, 0);
}

TEST_F(MusicEffects, SpectrumTakesAtMostTheGivenCount) {
    SetStyle(0);
    const Bands levels = All(777);
    page.SetAudioSpectrum(levels.data(), 3);
    const auto& bands = page.Effects().m_musicBands;
    EXPECT_EQ(bands[2], 777);
    EXPECT_EQ(bands[3], 0);
    page.SetAudioSpectrum(nullptr, 25);
    EXPECT_EQ(bands[2], 777) << "no levels change nothing";
    page.SetAudioLevels(levels.data(), 6);
    EXPECT_EQ(page.Effects().m_externalLevels[5], 777);
}

TEST_F(MusicEffects, Style3HueAdvancesTwentyPerSilentStep) {
    SetStyle(3);
    Step(All(0));
    EXPECT_EQ(page.Leds().m_effectStep, 20);
    Step(All(0));
    EXPECT_EQ(page.Leds().m_effectStep, 40);
    Step(All(2000));
    EXPECT_EQ(page.Leds().m_effectStep, 40) << "loud: the hue stands";
    // The centre ring takes the hue of the step plus 9.
    EXPECT_TRUE(Is(Led(51), ColorWheel[49], 254));
}

TEST_F(MusicEffects, Style4FiresAColumnOnceUntilItsBottomKeyFades) {
    SetStyle(4);
    int fires = 0;
    bool firstFire = true;
    for (int step = 0; step < 100; ++step) {
        const uint8_t bottomBefore = page.Leds().m_keyLevel[105];
        const uint8_t tipBefore = page.Leds().m_keyLevel[21];
        Step(All(2000));
        const bool fired = page.Leds().m_keyLevel[21] == 255 && tipBefore != 255;
        if (!fired) continue;
        ++fires;
        if (firstFire) {
            firstFire = false;
            continue;
        }
        EXPECT_LT(bottomBefore, 10) << "step " << step << ": fired again while the bottom key was lit";
    }
    EXPECT_GE(fires, 2) << "the column fires again once its bottom key has gone dark";
}

TEST_F(MusicEffects, BeatDetectorSeedsTheCentreKeyOnLoudSets) {
    struct BeatCase {
        int32_t level;
        int setsToBeat;  // after the counter was zeroed by a beat
    };
    // H(2000) = 0 adds 25 a set; 2100 adds as much (not the 5 of an almost silent set).
    for (const BeatCase& c : {BeatCase{2000, 3}, BeatCase{2100, 3}, BeatCase{1000, 6}}) {
        SCOPED_TRACE(c.level);
        SetStyle(0, false, 20);
        SetStyle(2);
        // Bring the shared counter to zero: a beat zeroes it.
        for (int i = 0; i < 10 && !RippleSeededAt(11, 2); ++i) page.SetAudioSpectrum(All(2000).data(), 25);
        ASSERT_TRUE(RippleSeededAt(11, 2));
        ASSERT_EQ(CCorvaneKeyboardDevice::GetBeatCount(), 0);
        page.ResetEffectState();
        for (int i = 1; i < c.setsToBeat; ++i) page.SetAudioSpectrum(All(c.level).data(), 25);
        EXPECT_FALSE(RippleSeededAt(11, 2));
        page.SetAudioSpectrum(All(c.level).data(), 25);
        EXPECT_TRUE(RippleSeededAt(11, 2)) << "key 51 sits at column 11, row 2";
        EXPECT_EQ(CCorvaneKeyboardDevice::GetBeatCount(), 0);
    }
}

TEST_F(MusicEffects, BeatDetectorRunsOnlyInStyle2OfTheMusicMode) {
    for (auto [style, mode] : {std::pair<uint8_t, uint8_t>{0, 21}, {2, 22}}) {
        SetStyle(0, false, 20);
        SetStyle(style, false, mode);
        const int32_t before = CCorvaneKeyboardDevice::GetBeatCount();
        page.SetAudioSpectrum(All(2000).data(), 25);
        EXPECT_EQ(CCorvaneKeyboardDevice::GetBeatCount(), before);
        EXPECT_EQ(page.Effects().m_musicBands[0], 2000) << "the levels are kept";
    }
}

TEST_F(MusicEffects, Style2RippleSpreadsFromTheCentreKey) {
    SetStyle(2);
    // Keys lit on the last step: full level, faded once in the same step.
    auto justLit = [&] {
        KeySet keys;
        for (int i = 0; i < int(kKeyPositionCount); ++i)
            if (page.Leds().m_keyLevel[size_t(i)] == 210) keys.insert(i);
        return keys;
    };
    page.SeedRippleAtKey(51, 1);
    page.StepMusic();
    EXPECT_EQ(justLit(), KeySet{51});
    EXPECT_TRUE(Is(Led(51), kForeground, 209));
    EXPECT_TRUE(Is(Led(0), kBackground, 255));
    page.StepMusic();
    // One key further in every direction: the neighbours in row and column.
    EXPECT_EQ(justLit(), (KeySet{50, 52, 30, 72}));
}

TEST_F(MusicEffects, OtherStylesDrawNothing) {
    SetStyle(7);
    Step(All(2100));
    EXPECT_TRUE(Lit().empty());
    for (int i : {0, 51, 169}) EXPECT_EQ(page.Leds().GetLedColor(i), 0u);
}

TEST(KeySequence, FindSequenceKeyAcceptsOnlyKeysOfTheSequence) {
    EXPECT_EQ(CCorvaneKeyboardDevice::FindSequenceKey(51), 51);
    EXPECT_EQ(CCorvaneKeyboardDevice::FindSequenceKey(56), 56);
    EXPECT_EQ(CCorvaneKeyboardDevice::FindSequenceKey(119), 119);
    EXPECT_EQ(CCorvaneKeyboardDevice::FindSequenceKey(57), 170) << "a position without a key";
    EXPECT_EQ(CCorvaneKeyboardDevice::FindSequenceKey(255), 170);
}

// --- Screen colour -----------------------------------------------------------------------

class ScreenSync : public MusicEffects {
protected:
    void TearDown() override { tavrik::screen::SetScreenSource(nullptr); }
};

TEST_F(ScreenSync, EveryKeyTakesTheAverageOfTheCentreSquare) {
    auto screen = std::make_shared<tavrik::screen::SyntheticScreenSource>(1920, 1080, 0xFFFFFF);
    // The square from (910, 490) to (1009, 589) in one colour, white around
    // it: a square one pixel off would mix white in.
    screen->FillRect(910, 490, 100, 100, 0x336699);
    tavrik::screen::SetScreenSource(screen);
    SetStyle(0, false, 22);
    LightSetting s = page.CurrentLightSetting();
    s.brightness = 3;
    page.SetLightSetting(s);
    EXPECT_EQ(page.StepScreenSync(), 170);
    for (int i : {0, 85, 169}) EXPECT_TRUE(Is(Led(i), RgbEntry{0x33, 0x66, 0x99}, 153)) << i;

    screen->FillRect(909, 490, 1, 100, 0x000000);
    screen->FillRect(1010, 490, 1, 100, 0x000000);
    screen->FillRect(910, 489, 100, 1, 0x000000);
    screen->FillRect(910, 590, 100, 1, 0x000000);
    page.StepScreenSync();
    EXPECT_TRUE(Is(Led(0), RgbEntry{0x33, 0x66, 0x99}, 153)) << "pixels just outside the square do not count";

    screen->SetPicture([](int x, int) { return x < 960 ? 0x0000C8u : 0x000000u; });
    page.StepScreenSync();
    EXPECT_TRUE(Is(Led(0), RgbEntry{0, 0, 100}, 153)) << "an average of both halves";
}

TEST_F(ScreenSync, AnUnreadableScreenGivesBlack) {
    auto screen = std::make_shared<tavrik::screen::SyntheticScreenSource>(1920, 1080, 0x808080);
    tavrik::screen::SetScreenSource(screen);
    SetStyle(0, false, 22);
    page.StepScreenSync();
    EXPECT_TRUE(Is(Led(5), RgbEntry{0x80, 0x80, 0x80}, 255));
    screen->SetFailing(true);
    page.StepScreenSync();
    for (int i : {0, 5, 169}) EXPECT_TRUE(Is(Led(i), RgbEntry{0, 0, 0}, 255)) << i;
}

}  // namespace
