// Invariants of the pulse curve, the key geometry tables and the speed
// thresholds that catch a slip in typing them.
#include <gtest/gtest.h>

#include <set>

#include "link/effect_tables.h"

namespace {

bool IsKey(uint8_t v) { return v < 170; }

std::multiset<int> KeysOf(const KeyMatrixTable& m) {
    std::multiset<int> keys;
    for (const auto& column : m)
        for (uint8_t v : column)
            if (IsKey(v)) keys.insert(v);
    return keys;
}

TEST(EffectKeyTables, PulseCurveRisesFallsAndPauses) {
    EXPECT_EQ(PulseCurve[0], 0);
    EXPECT_EQ(PulseCurve[24], 255);
    EXPECT_EQ(PulseCurve[87], 1);
    for (int i = 1; i <= 24; ++i) EXPECT_GT(PulseCurve[i], PulseCurve[i - 1]) << i;
    for (int i = 25; i <= 87; ++i) EXPECT_LE(PulseCurve[i], PulseCurve[i - 1]) << i;
    for (int i = 88; i < 192; ++i) EXPECT_EQ(PulseCurve[i], 0) << i;
}

TEST(EffectKeyTables, KeyMatricesHoldEachKeyOnceAtTheirCorners) {
    for (const KeyMatrixTable* m : {&KeyMatrix, &KeyMatrixAlt}) {
        const auto keys = KeysOf(*m);
        for (int k : keys) EXPECT_EQ(keys.count(k), 1u) << "key " << k;
        // The two leftmost columns are empty; each row starts with its first key.
        for (int r = 0; r < kMatrixRows; ++r) {
            EXPECT_EQ((*m)[0][r], kNoKeyMatrixCell);
            EXPECT_EQ((*m)[1][r], kNoKeyMatrixCell);
        }
        const uint8_t firsts[] = {0, 21, 42, 63, 84, 105};
        for (int r = 0; r < kMatrixRows; ++r) EXPECT_EQ((*m)[2][r], firsts[r]) << "row " << r;
    }
    EXPECT_EQ(KeysOf(KeyMatrix).size(), 97u);
    EXPECT_EQ(KeyMatrix[16][0], 56);
    EXPECT_EQ(KeyMatrix[19][2], 119);
    EXPECT_EQ(KeyMatrix[3][4], 102);
    EXPECT_EQ(KeyMatrix[14][3], 62);
    EXPECT_EQ(KeyMatrix[8][5], 108);
    EXPECT_EQ(KeyMatrix[18][5], 117);
    EXPECT_EQ(KeyMatrixAlt[16][3], 37);
    EXPECT_EQ(KeyMatrixAlt[16][4], 58);
    EXPECT_EQ(KeyMatrixAlt[7][5], 108);
    EXPECT_EQ(KeyMatrixAlt[16][0], kNoKeyMatrixCell);
}

TEST(EffectKeyTables, KeyMatrix7IsKeyMatrixOneRowDownWithout102And62) {
    for (int c = 0; c < kMatrixColumns; ++c) {
        EXPECT_EQ(KeyMatrix7[c][0], kNoKeyMatrixCell) << c;
        for (int r = 0; r < kMatrixRows; ++r) {
            const bool left = (c == 3 && r == 4) || (c == 14 && r == 3);
            EXPECT_EQ(KeyMatrix7[c][r + 1], left ? kNoKeyMatrixCell : KeyMatrix[c][r]) << c << "," << r;
        }
    }
}

TEST(EffectKeyTables, RingsHoldEachKeyOnceAndNot55) {
    std::multiset<int> keys;
    const size_t sizes[] = {1, 6, 10, 11, 12, 8, 7, 8, 10, 11, 9, 3};
    for (size_t ring = 0; ring < RingMatrix.size(); ++ring) {
        size_t n = 0;
        for (size_t i = 0; i < RingMatrix[ring].size(); ++i) {
            const uint8_t v = RingMatrix[ring][i];
            if (!IsKey(v)) continue;
            EXPECT_EQ(i, n) << "ring " << ring << " has a gap";
            ++n;
            keys.insert(v);
        }
        EXPECT_EQ(n, sizes[ring]) << "ring " << ring;
    }
    for (int k : keys) EXPECT_EQ(keys.count(k), 1u) << "key " << k;
    EXPECT_EQ(keys.count(55), 0u);
    EXPECT_EQ(RingMatrix[0][0], 51);
    // With key 55 the rings cover exactly the keys of the matrix.
    keys.insert(55);
    EXPECT_EQ(keys, KeysOf(KeyMatrix));
}

TEST(EffectKeyTables, KeySequenceWalks97DistinctKeysThenPads) {
    std::set<int> keys;
    for (int i = 0; i < kKeySequenceKeys; ++i) {
        ASSERT_TRUE(IsKey(KeySequence[i])) << i;
        keys.insert(KeySequence[i]);
    }
    EXPECT_EQ(keys.size(), size_t(kKeySequenceKeys));
    for (size_t i = kKeySequenceKeys; i < KeySequence.size(); ++i) EXPECT_EQ(KeySequence[i], 170) << i;
    EXPECT_EQ(KeySequence[0], 56);
    EXPECT_EQ(KeySequence[96], 77);
    // The spiral covers exactly the keys of the matrix.
    std::set<int> matrix;
    for (int k : KeysOf(KeyMatrix)) matrix.insert(k);
    EXPECT_EQ(keys, matrix);
}

TEST(EffectKeyTables, SpeedThresholdRows) {
    const struct {
        int mode;
        std::array<uint8_t, 5> first;
    } rows[] = {{0, {8, 5, 3, 1, 0}},  {1, {8, 5, 3, 1, 0}},  {14, {8, 5, 3, 1, 0}}, {15, {5, 4, 3, 2, 1}},
                {16, {4, 4, 4, 4, 4}}, {17, {5, 4, 3, 2, 1}}, {18, {4, 4, 4, 4, 4}}, {19, {8, 5, 3, 1, 0}},
                {29, {8, 5, 3, 1, 0}}, {30, {0, 0, 0, 0, 0}}, {31, {8, 5, 3, 1, 0}}, {34, {8, 5, 3, 1, 0}}};
    for (const auto& row : rows) {
        for (int s = 0; s < 5; ++s) EXPECT_EQ(SpeedThresholds[row.mode][s], row.first[s]) << row.mode << "," << s;
    }
    for (const auto& row : SpeedThresholds)
        for (size_t s = 5; s < row.size(); ++s) EXPECT_EQ(row[s], 0);
    // Out of the table: the last column and row.
    EXPECT_EQ(SpeedThresholdOf(3, 200), 0);
    EXPECT_EQ(SpeedThresholdOf(200, 0), 8);
    EXPECT_EQ(SpeedThresholdOf(15, 0), 5);
}

}  // namespace
