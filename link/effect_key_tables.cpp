// The pulse curve, the key geometry of the keyboard picture and the speed
// thresholds of the lighting modes.
#include <algorithm>

#include "link/effect_tables.h"

namespace {

constexpr uint8_t X = kNoKeyMatrixCell;

using RowsTable = std::array<std::array<uint8_t, kMatrixColumns>, kMatrixRows>;

// Written row by row as the keys lie on the keyboard.
constexpr RowsTable kKeyRows = {{
    {X, X, 0, 1, 2, 3, 4, X, 5, 6, 7, 8, 9, 10, 11, 12, 56, X, X, X, X, X, X},
    {X, X, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 38, 39, 40, 41, X, X, X},
    {X, X, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 59, 60, 61, 119, X, X, X},
    {X, X, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 62, 75, 76, 77, 78, X, X, X, X},
    {X, X, 84, 102, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 118, X, X, X},
    {X, X, 105, 106, 107, X, X, X, 108, X, X, 109, 110, 112, 113, 114, 115, 116, 117, X, X, X, X},
}};

constexpr RowsTable kKeyRowsAlt = {{
    {X, X, 0, 1, 2, 3, 4, X, 5, 6, 7, 8, 9, 10, 11, 12, X, X, X, X, X, X, X},
    {X, X, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, X, X, X, X, X, X},
    {X, X, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, X, X, X, X, X, X},
    {X, X, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 62, 75, 37, X, X, X, X, X, X},
    {X, X, 84, 102, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 58, X, X, X, X, X, X},
    {X, X, 105, 106, 107, X, X, 108, X, X, X, 109, 110, 112, 113, 114, 115, X, X, X, X, X, X},
}};

constexpr KeyMatrixTable ByColumn(const RowsTable& rows) {
    KeyMatrixTable m{};
    for (int r = 0; r < kMatrixRows; ++r)
        for (int c = 0; c < kMatrixColumns; ++c) m[c][r] = rows[r][c];
    return m;
}

// The breathing modes leave out the two keys that sit between rows.
constexpr std::array<std::array<uint8_t, kMatrixRows + 1>, kMatrixColumns> MakeKeyMatrix7(const KeyMatrixTable& m) {
    std::array<std::array<uint8_t, kMatrixRows + 1>, kMatrixColumns> out{};
    for (int c = 0; c < kMatrixColumns; ++c) {
        out[c][0] = X;
        for (int r = 0; r < kMatrixRows; ++r) {
            const uint8_t led = m[c][r];
            out[c][r + 1] = (led == 102 || led == 62) ? X : led;
        }
    }
    return out;
}

constexpr std::array<uint8_t, 88> kPulseShape = {
    0,   4,   8,   14,  22,  33,  45,  61,  77,  84,  100, 110, 120, 130, 140, 150, 158, 166, 175, 182, 191, 204,
    220, 234, 255, 248, 241, 234, 227, 220, 213, 206, 200, 194, 188, 182, 176, 170, 164, 158, 152, 146, 140, 134,
    129, 124, 119, 114, 109, 104, 99,  94,  89,  85,  81,  77,  73,  69,  65,  61,  57,  53,  49,  45,  42,  39,
    36,  33,  30,  27,  24,  22,  20,  18,  16,  14,  12,  10,  9,   8,   7,   6,   5,   4,   3,   2,   2,   1};

constexpr std::array<uint8_t, 192> MakePulseCurve() {
    std::array<uint8_t, 192> curve{};
    for (size_t i = 0; i < kPulseShape.size(); ++i) curve[i] = kPulseShape[i];
    return curve;
}

constexpr std::array<uint8_t, kKeySequenceKeys> kSpiral = {
    56,  12,  11,  10,  9,   8,   7,   6,  5,  4,  3,  2,  1,  0,  21, 42, 63, 84, 105, 106, 107, 108, 109, 110, 112,
    113, 114, 115, 116, 117, 118, 119, 41, 40, 39, 38, 34, 33, 32, 31, 30, 29, 28, 27,  26,  25,  24,  23,  22,  43,
    64,  102, 85,  86,  87,  88,  89,  90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 78, 61,  60,  59,  55,  54,  53,  52,
    51,  50,  49,  48,  47,  46,  45,  44, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 62,  75,  76,  77};

constexpr std::array<uint8_t, 170> MakeKeySequence() {
    std::array<uint8_t, 170> sequence{};
    for (auto& e : sequence) e = kNoKeySequenceEntry;
    for (size_t i = 0; i < kSpiral.size(); ++i) sequence[i] = kSpiral[i];
    return sequence;
}

constexpr std::array<std::array<uint8_t, 15>, 35> MakeSpeedThresholds() {
    std::array<std::array<uint8_t, 15>, 35> rows{};
    for (size_t mode = 0; mode < rows.size(); ++mode) {
        std::array<uint8_t, 5> first = {8, 5, 3, 1, 0};
        if (mode == 15 || mode == 17) first = {5, 4, 3, 2, 1};
        if (mode == 16 || mode == 18) first = {4, 4, 4, 4, 4};
        if (mode == 30) first = {0, 0, 0, 0, 0};  // mode 30 steps on every pass
        for (size_t s = 0; s < first.size(); ++s) rows[mode][s] = first[s];
    }
    return rows;
}

}  // namespace

const std::array<uint8_t, 192> PulseCurve = MakePulseCurve();
const KeyMatrixTable KeyMatrix = ByColumn(kKeyRows);
const KeyMatrixTable KeyMatrixAlt = ByColumn(kKeyRowsAlt);
const std::array<std::array<uint8_t, kMatrixRows + 1>, kMatrixColumns> KeyMatrix7 = MakeKeyMatrix7(ByColumn(kKeyRows));

const std::array<std::array<uint8_t, 12>, 12> RingMatrix = {{
    {51, X, X, X, X, X, X, X, X, X, X, X},
    {30, 50, 71, 72, 52, 31, X, X, X, X, X, X},
    {8, 29, 49, 70, 91, 92, 93, 73, 53, 32, X, X},
    {7, 28, 48, 69, 90, 109, 94, 74, 54, 33, 9, X},
    {6, 27, 47, 68, 89, 110, 95, 62, 75, 34, 10, 11},
    {5, 26, 46, 67, 88, 108, 112, 12, X, X, X, X},
    {4, 25, 45, 66, 87, 113, 96, X, X, X, X, X},
    {3, 24, 44, 65, 86, 114, 115, 56, X, X, X, X},
    {2, 23, 43, 64, 85, 107, 97, 76, 59, 38, X, X},
    {1, 22, 42, 63, 102, 106, 116, 98, 77, 60, 39, X},
    {0, 21, 84, 105, 117, 99, 78, 61, 40, X, X, X},
    {118, 119, 41, X, X, X, X, X, X, X, X, X},
}};

const std::array<uint8_t, 170> KeySequence = MakeKeySequence();
const std::array<std::array<uint8_t, 15>, 35> SpeedThresholds = MakeSpeedThresholds();

uint8_t SpeedThresholdOf(uint8_t row, uint8_t speed) {
    // A speed byte from a damaged profile or block reads the last column (0).
    return SpeedThresholds[std::min<size_t>(row, SpeedThresholds.size() - 1)]
                          [std::min<size_t>(speed, SpeedThresholds[0].size() - 1)];
}
