// The keyboard's key-press effects on a page without a device: the ripple
// planes' diamond, the reactive keys' row spread and the alternative layout's
// seed, the press and release rules of modes 8 and 25, and key events that
// change nothing.
#include <set>
#include <utility>

#include "tests/keyboard/effect_test_support.h"

namespace {

using namespace kbtest;
using Cell = std::pair<int, int>;

// The (column, row) cells of rows 0..5 that the four planes mark.
std::set<Cell> MarkedCells(CCorvaneKeyboardDevice& page) {
    std::set<Cell> cells;
    const auto& planes = page.Effects().m_rippleBits;
    for (int c = 0; c < kMatrixColumns; ++c) {
        const uint8_t bits = planes[0][size_t(c)] | planes[1][size_t(c)] | planes[2][size_t(c)] | planes[3][size_t(c)];
        for (int r = 0; r < kMatrixRows; ++r)
            if (bits & (1u << r)) cells.insert({c, r});
    }
    return cells;
}

std::set<Cell> CellsAtDistance(Cell from, int n) {
    std::set<Cell> cells;
    for (int c = 0; c < kMatrixColumns; ++c)
        for (int r = 0; r < kMatrixRows; ++r)
            if (std::abs(c - from.first) + std::abs(r - from.second) == n) cells.insert({c, r});
    return cells;
}

class KeyPressEffects : public ::testing::Test {
protected:
    void TearDown() override { CCorvaneKeyboardDevice::SetLanguageIndex(0); }
    EffectPage page;
};

TEST_F(KeyPressEffects, AfterNShiftsASeedMarksTheKeysAtDistanceN) {
    for (int c = 0; c < kMatrixColumns; ++c) {
        for (int r = 0; r < kMatrixRows; ++r) {
            const uint8_t key = KeyMatrix[size_t(c)][size_t(r)];
            if (key >= 170) continue;
            page.ResetEffectState();
            page.SeedRippleAtKey(key, 1);
            for (int n = 0; n <= 28; ++n) {
                ASSERT_EQ(MarkedCells(page), CellsAtDistance({c, r}, n)) << "key " << int(key) << " after " << n;
                page.ShiftRippleBits();
            }
        }
    }
}

TEST_F(KeyPressEffects, ReactiveRippleLightsTheKeyThenItsRing) {
    page.Set(6);
    page.ResetEffectState();
    page.TriggerKeyEffect(0, 1);  // top-left corner: column 2, row 0
    page.StepReactiveRipple();
    EXPECT_EQ(page.Leds().m_keyLevel[0], 215);
    page.StepReactiveRipple();
    EXPECT_EQ(page.Leds().m_keyLevel[1], 215);   // column 3, row 0
    EXPECT_EQ(page.Leds().m_keyLevel[21], 215);  // column 2, row 1
    EXPECT_EQ(page.Leds().m_keyLevel[22], 0);    // distance 2
    EXPECT_EQ(page.Leds().m_keyLevel[0], 175);
}

TEST_F(KeyPressEffects, ReactiveKeysRunAlongTheRowOnly) {
    page.Set(4);
    page.ResetEffectState();
    page.TriggerKeyEffect(48, 1);  // column 8, row 2
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        page.StepReactiveKeys();
        // The freshly lit keys of this step, at column 8 +- k of row 2.
        std::set<int> lit;
        for (int i = 0; i < 170; ++i)
            if (page.Leds().m_keyLevel[size_t(i)] == 215) lit.insert(i);
        std::set<int> expected = {KeyMatrix[size_t(8 - k)][2], KeyMatrix[size_t(8 + k)][2]};
        EXPECT_EQ(lit, expected);
    }
    EXPECT_EQ(page.Effects().m_rippleBits[0], (std::array<uint8_t, kMatrixColumns>{}));
}

TEST_F(KeyPressEffects, ReactiveKeysSeedFromTheAlternativeLayoutWithLanguage5) {
    page.Set(4);
    // Key 108 sits at column 8 of the bottom row, column 7 in the alternative layout.
    for (auto [language, column] : {std::pair{0, 8}, std::pair{5, 7}}) {
        SCOPED_TRACE(language);
        CCorvaneKeyboardDevice::SetLanguageIndex(language);
        page.ResetEffectState();
        page.TriggerKeyEffect(108, 1);
        EXPECT_EQ(MarkedCells(page), (std::set<Cell>{{column, 5}}));
    }
    // The light is drawn through the main layout: column 7 of row 5 holds no key,
    // so the line shows first one column on, at key 108 itself.
    page.StepReactiveKeys();
    EXPECT_EQ(page.Leds().m_keyLevel[108], 0);
    page.StepReactiveKeys();
    EXPECT_EQ(page.Leds().m_keyLevel[108], 215);
}

TEST_F(KeyPressEffects, ReleasesSeedOnlyInMode8WithANewHue) {
    for (uint8_t mode : {4, 6}) {
        page.Set(mode);
        page.ResetEffectState();
        page.TriggerKeyEffect(48, 2);
        EXPECT_TRUE(MarkedCells(page).empty()) << int(mode);
    }
    page.Set(8);
    page.ResetEffectState();
    page.StartRandomAt(40);
    page.TriggerKeyEffect(48, 1);
    EXPECT_EQ(page.Leds().m_keyHue[48], 40);
    for (int i = 0; i < 3; ++i) page.StepKeyPressFade();
    EXPECT_EQ(page.Effects().m_keyPressState[48], 2);
    EXPECT_EQ(page.Leds().m_keyLevel[48], 245);
    page.TriggerKeyEffect(48, 2);
    EXPECT_EQ(page.Leds().m_keyLevel[48], 255);
    EXPECT_EQ(page.Leds().m_keyHue[48], 41);
    page.StepKeyPressFade();
    EXPECT_EQ(page.Led(48), Rgb(10, 20, 30, Shade(250)));
}

TEST_F(KeyPressEffects, SpreadKeepsSharedNeighboursLitUntilTheSecondRelease) {
    page.Set(25);
    page.ResetEffectState();
    // Keys 48 and 49 sit side by side in row 2; 27 (column 8, row 1) is near
    // to 48 and far from 49.
    page.TriggerKeyEffect(48, 1);
    page.TriggerKeyEffect(49, 1);
    EXPECT_EQ(page.Leds().m_keyLevel[27], 240);  // 150, then 90 more
    EXPECT_EQ(page.Effects().m_keyHeld[48], 1);
    page.TriggerKeyEffect(48, 2);
    EXPECT_EQ(page.Leds().m_keyLevel[27], 240);
    EXPECT_EQ(page.Effects().m_keyPressState[27], 1);
    EXPECT_EQ(page.Effects().m_keyPressState[48], 1);  // next to the held 49
    EXPECT_EQ(page.Effects().m_keyHeld[48], 0);
    page.TriggerKeyEffect(49, 2);
    EXPECT_EQ(page.Leds().m_keyLevel[27], 150);  // far from 49: 90 less
    EXPECT_EQ(page.Effects().m_keyPressState[27], 2);
    EXPECT_EQ(page.Effects().m_keyPressState[49], 2);
    // Rising keys climb to 255, then fall by 5.
    page.StepKeyPressFade();
    EXPECT_EQ(page.Leds().m_keyLevel[27], 145);
}

TEST_F(KeyPressEffects, KeyEventsThatMapToNoPositionChangeNothing) {
    for (uint8_t mode : {4, 6, 8, 25}) {
        page.Set(mode);
        page.ResetEffectState();
        // No tables read: no position has a device key; 255 is the map's "none".
        for (int key : {0, 5, 254, 255, 300, -1}) {
            page.OnKeyEvent(key, 1);
            page.OnKeyEvent(key, 2);
        }
        EXPECT_TRUE(MarkedCells(page).empty());
        for (int i = 0; i < 170; ++i) {
            ASSERT_EQ(page.Leds().m_keyLevel[size_t(i)], 0) << i;
            ASSERT_EQ(page.Effects().m_keyPressState[size_t(i)], 0) << i;
        }
    }
    page.SpreadFromKey(170, 1);    // not a key
    page.SeedRippleAtKey(104, 1);  // a position the matrix does not hold
    EXPECT_TRUE(MarkedCells(page).empty());
}

}  // namespace
