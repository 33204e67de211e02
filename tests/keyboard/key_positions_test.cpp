// The key position table, the matching of positions to the keyboard's own
// tables, and the shipped default document's key list.
#include <gtest/gtest.h>

#include <numeric>

#include "keyboard/key_position_map.h"
#include "keyboard/key_position_table.h"
#include "link/data_folders.h"
#include "link/json_file_util.h"
#include "pages/key_search.h"

namespace {

using Table = std::array<uint8_t, kKeyTableBytes>;

void PutKey(Table& layout, size_t k, KeyFunction f) {
    layout[3 * k] = f.code;
    layout[3 * k + 1] = f.param1;
    layout[3 * k + 2] = f.param2;
}

TEST(KeyPositionTable, NamedRowsHoldTheirFunctions) {
    const struct {
        size_t row;
        KeyFunction f;
    } rows[] = {
        {0, {0x20, 0, 41}},     {16, {0xA0, 0x1B, 0}},  {17, {0xA0, 0x24, 0}},  {18, {0x20, 0, 0}},
        {104, {0x20, 0, 0}},    {84, {0x20, 0x02, 0}},  {95, {0x20, 0x20, 0}},  {110, {0xA0, 0x01, 0}},
        {120, {0xD0, 0xA2, 1}}, {124, {0xD0, 0xA2, 5}}, {125, {0x20, 0x80, 0}}, {126, {0x20, 0, 0}},
        {169, {0x20, 0, 0}},    {108, {0x20, 0, 44}},   {62, {0x20, 0, 50}},
    };
    for (const auto& r : rows) EXPECT_EQ(KeyPositionTable[r.row], r.f) << "row " << r.row;
    EXPECT_EQ(kFnKeyPosition, 110u);
}

TEST(KeyPositionTable, EveryKeyRowNamesAKeyOfTheKeyTables) {
    // Keyboard keys and modifiers are found by the key search; vendor and M keys have their own codes.
    for (size_t p = 0; p < kKeyPositionCount; ++p) {
        const KeyFunction f = KeyPositionTable[p];
        if (f == KeyFunction{0x20, 0, 0}) continue;
        SCOPED_TRACE(p);
        if (f.code == kFunctionKeyboardKey) {
            EXPECT_GE(FindKeyTableRow(f), 0);
        } else {
            EXPECT_TRUE(f.code == kFunctionDeviceKey || f.code == kFunctionMKey);
        }
    }
}

TEST(KeyPositionMap, PermutedLayoutGivesEachPositionItsKeyAndLed) {
    // The keyboard lists the defaults in reverse order; its LEDs are numbered k + 7.
    Table layout{}, leds{};
    std::vector<size_t> distinct;
    for (size_t p = 0; p < kKeyPositionCount; ++p)
        if (!(KeyPositionTable[p] == KeyFunction{0x20, 0, 0})) distinct.push_back(p);
    const size_t n = distinct.size();
    for (size_t i = 0; i < n; ++i) {
        PutKey(layout, n - 1 - i, KeyPositionTable[distinct[i]]);
        leds[n - 1 - i] = uint8_t(n - 1 - i + 7);
    }
    const KeyPositionMaps maps = MapKeyPositions(layout, leds, int(n));
    for (size_t i = 0; i < n; ++i) {
        EXPECT_EQ(maps.keyIndex[distinct[i]], n - 1 - i);
        EXPECT_EQ(maps.ledIndex[distinct[i]], n - 1 - i + 7);
    }
    // No plain key on this keyboard: the blank positions stay unmapped.
    EXPECT_EQ(maps.keyIndex[18], kNoKeyPosition);
    EXPECT_EQ(maps.ledIndex[169], kNoKeyPosition);
}

TEST(KeyPositionMap, MissingDefaultsAndKeysBeyondTheCountStayUnmapped) {
    Table layout{}, leds{};
    PutKey(layout, 0, KeyPositionTable[5]);
    PutKey(layout, 1, {0x20, 0, 0});
    PutKey(layout, 2, {0x20, 0, 0});  // a second plain key: never chosen
    PutKey(layout, 3, KeyPositionTable[110]);
    PutKey(layout, 4, KeyPositionTable[7]);  // beyond the key count below
    leds[0] = 30;
    leds[1] = 31;
    leds[2] = 32;
    leds[3] = 33;
    leds[4] = 34;
    const KeyPositionMaps maps = MapKeyPositions(layout, leds, 4);
    EXPECT_EQ(maps.keyIndex[5], 0);
    EXPECT_EQ(maps.ledIndex[5], 30);
    EXPECT_EQ(maps.keyIndex[110], 3);
    EXPECT_EQ(maps.ledIndex[110], 33);
    EXPECT_EQ(maps.keyIndex[7], kNoKeyPosition);
    EXPECT_EQ(maps.ledIndex[7], kNoKeyPosition);
    EXPECT_EQ(maps.keyIndex[0], kNoKeyPosition);
    for (size_t p : {18u, 19u, 20u, 104u, 126u, 169u}) {
        EXPECT_EQ(maps.keyIndex[p], 1) << p;  // every blank row shares the first plain key
        EXPECT_EQ(maps.ledIndex[p], 31) << p;
    }
    // A key count past 170 is held to 170; a negative one maps nothing.
    EXPECT_EQ(MapKeyPositions(layout, leds, 255).keyIndex[7], 4);
    EXPECT_EQ(MapKeyPositions(layout, leds, -3).keyIndex[5], kNoKeyPosition);
}

TEST(DefaultKeyboardDocument, KeyListHoldsEveryPositionsDefault) {
    const Json::Value root = CJsonFileUtil::LoadJson(GetDefaultDataPath() + L"keyboard.Json");
    const Json::Value& keys = root["Device"][0]["KeyList"];
    ASSERT_TRUE(keys.isArray());
    ASSERT_EQ(keys.size(), kKeyPositionCount);
    for (Json::ArrayIndex p = 0; p < keys.size(); ++p) {
        const uint32_t packed = PackKeyFunction(KeyPositionTable[p]);
        EXPECT_EQ(keys[p]["Assignment"].asUInt(), packed) << p;
        EXPECT_EQ(keys[p]["DefaultAssignment"].asUInt(), packed) << p;
    }
    const Json::Value& device = root["Device"][0];
    EXPECT_EQ(device["FrameIntervalTime"].asInt(), 100);
    for (const char* member : {"LightInfo", "AudioLightInfo", "SystemStages", "CustomLightMode"})
        EXPECT_TRUE(device[member].isObject()) << member;
}

TEST(DefaultLightNames, ThirtyOneKeyboardModesWithTheirCodes) {
    const Json::Value root = CJsonFileUtil::LoadJson(GetDefaultDataPath() + L"default_light.json");
    const Json::Value& modes = root["DefaultLightName"][0];
    ASSERT_TRUE(modes.isArray());
    ASSERT_EQ(modes.size(), 31u);
    for (Json::ArrayIndex i = 0; i < modes.size(); ++i) {
        EXPECT_TRUE(modes[i]["LightName"].isString());
        EXPECT_TRUE(modes[i]["value"].isInt());
        EXPECT_TRUE(modes[i]["visible"].isBool());
    }
    EXPECT_TRUE(root["AreaLightName"][0].isArray());
}

}  // namespace
