// The keyboard picture as the skin draws it: its keys in the places and the
// order the lighting's key rows give them, and a legend on each key that
// names it as a user knows it.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "keyboard/key_position_table.h"
#include "link/effect_tables.h"
#include "tools/skin_images/key_legends.h"

namespace {

using skinimages::KeyRect;

constexpr int kLastKeyPosition = 125;  // the light strip follows

std::map<int, KeyRect> PictureKeys() {
    std::map<int, KeyRect> keys;
    for (const KeyRect& r : skinimages::ReadKeyRects(TAVRIK_SOURCE_DIR "/tools/keyboard_skin/key_rects.txt"))
        if (r.position <= kLastKeyPosition) keys[r.position] = r;
    return keys;
}

TEST(KeyPicture, LegendsNameTheKeysAsTheirKeyboardsPrintThem) {
    const std::regex tableNumber("K[0-9]+");
    for (int p = 0; p < int(kKeyPositionCount); ++p)
        EXPECT_FALSE(std::regex_match(skinimages::KeyLegend(p), tableNumber)) << p << ": " << skinimages::KeyLegend(p);
    const struct {
        int position;
        const char* legend;
    } cases[] = {
        {62, "#~"}, {102, "\\|"}, {55, "\\"}, {101, "\xC2\xA5"}, {125, "Win"}, {110, "Fn"}, {16, "GM"}, {97, "1"},
    };
    for (const auto& c : cases) EXPECT_EQ(skinimages::KeyLegend(c.position), c.legend) << c.position;
}

TEST(KeyPicture, EveryKeyDrawnCarriesALegendAndNoneOverlap) {
    const std::map<int, KeyRect> keys = PictureKeys();
    ASSERT_GT(keys.size(), 100u);
    for (const auto& [p, r] : keys) {
        EXPECT_FALSE(skinimages::KeyLegend(p).empty()) << "blank key " << p;
        for (const auto& [q, s] : keys) {
            if (q <= p) continue;
            const bool apart =
                r.x + r.width <= s.x || s.x + s.width <= r.x || r.y + r.height <= s.y || s.y + s.height <= r.y;
            EXPECT_TRUE(apart) << "keys " << p << " and " << q << " overlap";
        }
    }
    // The number pad ends the picture: no column of keys beside it.
    const int padRight = keys.at(118).x + keys.at(118).width;
    for (const auto& [p, r] : keys) EXPECT_LE(r.x + r.width, padRight) << "key " << p << " beside the number pad";
}

// The lighting's key rows (the ripple's matrix) say where each key lies on
// the keyboard: along a row, the keys the picture draws in that row follow
// from left to right in the same order.
TEST(KeyPicture, KeysLieInTheOrderOfTheLightingRows) {
    const std::map<int, KeyRect> keys = PictureKeys();
    for (int row = 0; row < kMatrixRows; ++row) {
        const KeyRect* previous = nullptr;
        for (int column = 0; column < kMatrixColumns; ++column) {
            const int p = KeyMatrix[size_t(column)][size_t(row)];
            const auto it = keys.find(p);
            if (p == kNoKeyMatrixCell || it == keys.end()) continue;
            const KeyRect& key = it->second;
            if (previous && previous->y == key.y)
                EXPECT_LT(previous->x, key.x)
                    << "row " << row << ": key " << p << " left of key " << previous->position;
            previous = &key;
        }
    }
    // The two keys of the international layout: # ~ between ' and Enter,
    // \ | between the left Shift and Z.
    const struct { int key, left, right; } between[] = {{62, 74, 75}, {102, 84, 85}};
    for (const auto& b : between) {
        ASSERT_TRUE(keys.count(b.key) && keys.count(b.left) && keys.count(b.right)) << b.key;
        EXPECT_EQ(keys.at(b.key).y, keys.at(b.left).y) << b.key;
        EXPECT_EQ(keys.at(b.key).y, keys.at(b.right).y) << b.key;
        EXPECT_LT(keys.at(b.left).x, keys.at(b.key).x) << b.key;
        EXPECT_LT(keys.at(b.key).x, keys.at(b.right).x) << b.key;
    }
}

}  // namespace
