#include "link/effect_tables.h"

#include <gtest/gtest.h>

namespace {

TEST(EffectTables, ColorWheelHasTheSixSegmentsAndRepeatsItsStart) {
    EXPECT_EQ(ColorWheel[0], (RgbEntry{255, 1, 0}));
    EXPECT_EQ(ColorWheel[31], (RgbEntry{255, 255, 0}));
    EXPECT_EQ(ColorWheel[32], (RgbEntry{248, 255, 0}));
    EXPECT_EQ(ColorWheel[63], (RgbEntry{0, 255, 0}));
    EXPECT_EQ(ColorWheel[64], (RgbEntry{0, 255, 1}));
    EXPECT_EQ(ColorWheel[96], (RgbEntry{0, 248, 255}));
    EXPECT_EQ(ColorWheel[128], (RgbEntry{1, 0, 255}));
    EXPECT_EQ(ColorWheel[191], (RgbEntry{255, 0, 0}));
    for (int k = 0; k < 64; ++k) EXPECT_EQ(ColorWheel[192 + k], ColorWheel[k]) << k;
}

TEST(EffectTables, CurvesAreMirrored) {
    EXPECT_EQ(BreathCurve[0], 0);
    EXPECT_EQ(BreathCurve[63], 255);
    EXPECT_EQ(BreathCurve[17], 24);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(BreathCurve[127 - i], BreathCurve[i]) << i;
    EXPECT_EQ(WaveCurve[0], 22);
    EXPECT_EQ(WaveCurve[47], 255);
    for (int i = 0; i < 48; ++i) {
        EXPECT_EQ(WaveCurve[i], BreathCurve[16 + i]) << i;
        EXPECT_EQ(WaveCurve[95 - i], WaveCurve[i]) << i;
    }
}

TEST(EffectTables, LookupsClampOutOfRangeIndexes) {
    const struct {
        uint8_t index;
        uint8_t level;
    } levels[] = {{0, 0}, {3, 153}, {4, 201}, {5, 255}, {6, 255}, {200, 255}};
    for (const auto& c : levels) EXPECT_EQ(BrightnessLevelOf(c.index), c.level) << int(c.index);

    const struct {
        uint8_t speed;
        uint32_t ms;
    } periods[] = {{0, 5600}, {1, 4600}, {2, 3600}, {3, 2600}, {4, 1400}, {5, 1400}, {255, 1400}};
    for (const auto& c : periods) EXPECT_EQ(FlashPeriodMsOf(c.speed), c.ms) << int(c.speed);
}

}  // namespace
