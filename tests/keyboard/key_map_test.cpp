// The key map the keyboard takes and the list of macros it refers to.
#include <gtest/gtest.h>

#include "keyboard/keyboard_key_map.h"

namespace {

using Table = std::array<uint8_t, kKeyTableBytes>;
using Positions = std::array<uint8_t, kKeyPositionCount>;

KeyListEntry Entry(KeyFunction current, KeyFunction defaults) {
    KeyListEntry e;
    e.current.function = current;
    e.defaults.function = defaults;
    return e;
}

KeyFunction At(const Table& map, size_t k) { return {map[3 * k], map[3 * k + 1], map[3 * k + 2]}; }

struct KeyMapTest : ::testing::Test {
    KeyMapTest() {
        for (size_t i = 0; i < layout.size(); ++i) layout[i] = uint8_t(i * 7);
        positions.fill(kNoKeyPosition);
        // Positions 0..5 reach device keys 10, 11, 12, 13, 14, 15; position 2 none.
        for (size_t p = 0; p < 6; ++p) positions[p] = uint8_t(10 + p);
        positions[2] = kNoKeyPosition;
    }
    Table layout{};
    Positions positions{};
    const KeyFunction a{0x20, 0, 4};
};

TEST_F(KeyMapTest, MacrosAreRenumberedInOrderOfFirstUse) {
    const std::vector<KeyListEntry> keys = {Entry({0x70, 4, 2}, a), Entry({0x71, 1, 9}, a), Entry(a, a),
                                            Entry({0x70, 4, 0}, a)};
    const KeyMapPlan plan = PlanKeyMap(layout, positions, keys, 5);
    EXPECT_EQ(plan.usedMacros, (std::vector<int>{4, 1}));
    EXPECT_EQ(At(plan.map, 10), (KeyFunction{0x70, 0, 2}));
    EXPECT_EQ(At(plan.map, 11), (KeyFunction{0x71, 1, 9}));
    EXPECT_EQ(At(plan.map, 12), At(layout, 12));  // position 2 reaches no key: the default stays
    EXPECT_EQ(At(plan.map, 13), (KeyFunction{0x70, 0, 0}));
}

TEST_F(KeyMapTest, MacroBeyondTheListTakesTheDefault) {
    const KeyFunction fallback{0x20, 0, 0x29};
    const std::vector<KeyListEntry> keys = {Entry({0x70, 5, 1}, fallback), Entry({0x71, 200, 1}, fallback), Entry(a, a),
                                            Entry({0x70, 0, 3}, fallback)};
    const KeyMapPlan plan = PlanKeyMap(layout, positions, keys, 5);
    EXPECT_EQ(At(plan.map, 10), fallback);
    EXPECT_EQ(At(plan.map, 11), fallback);
    EXPECT_EQ(At(plan.map, 13), (KeyFunction{0x70, 0, 3}));
    EXPECT_EQ(plan.usedMacros, (std::vector<int>{0}));
    EXPECT_TRUE(PlanKeyMap(layout, positions, keys, 0).usedMacros.empty());
}

TEST_F(KeyMapTest, ShortKeyListEndsTheMapAndTheRestKeepsTheLayout) {
    const std::vector<KeyListEntry> keys = {Entry({0x20, 0, 0x2C}, a), Entry({0x20, 0, 0x2D}, a)};
    const KeyMapPlan plan = PlanKeyMap(layout, positions, keys, 5);
    EXPECT_EQ(At(plan.map, 10), (KeyFunction{0x20, 0, 0x2C}));
    EXPECT_EQ(At(plan.map, 11), (KeyFunction{0x20, 0, 0x2D}));
    for (size_t k : {12u, 13u, 14u, 15u, 0u, 169u}) EXPECT_EQ(At(plan.map, k), At(layout, k)) << k;
    EXPECT_TRUE(PlanKeyMap(layout, positions, {}, 5).map == layout);
}

}  // namespace
