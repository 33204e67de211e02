// The macro table as built for the keyboard and as the emulated keyboard reads it.
#include <gtest/gtest.h>

#include "link/device/macro_blob.h"
#include "link/json_file_util.h"
#include "pages/shoot_file.h"
#include "pages/shoot_gun_steps.h"
#include "platform/files/utf8.h"
#include "tools/devsim/keyboard_model.h"

namespace {

using tavrik::devsim::ParseMacroTable;

DeviceMacroEvent Event(uint16_t delay, uint8_t type, uint8_t code) {
    return {uint8_t(delay & 0xFF), uint8_t(delay >> 8), type, code};
}

TEST(MacroTable, HeaderOffsetsAndRecords) {
    const std::vector<std::vector<DeviceMacroEvent>> macros = {
        {Event(10, 0x8A, 4), Event(300, 0x0A, 4)}, {}, {Event(65535, 0x81, 1)}};
    const std::vector<uint8_t> blob = BuildMacroBlob(macros);
    ASSERT_EQ(blob.size(), MacroBlobSize({2, 0, 1}));
    ASSERT_EQ(blob.size(), 16u + 18u + 12u);
    const std::vector<uint8_t> head = {0xAA, 0x55, 46, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 22, 0, 34, 0, 38, 0};
    EXPECT_EQ(std::vector<uint8_t>(blob.begin(), blob.begin() + 22), head);
    const std::vector<uint8_t> first = {2, 0, 0, 0, 10, 0, 0x8A, 4, 0x2C, 0x01, 0x0A, 4};
    EXPECT_EQ(std::vector<uint8_t>(blob.begin() + 22, blob.begin() + 34), first);
    const std::vector<uint8_t> rest = {0, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0x81, 1};
    EXPECT_EQ(std::vector<uint8_t>(blob.begin() + 34, blob.end()), rest);

    const auto parsed = ParseMacroTable(blob.data(), blob.size(), 4096);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->macros.size(), 3u);
    EXPECT_EQ(parsed->macros[0].size(), 2u);
    EXPECT_TRUE(parsed->macros[1].empty());
    EXPECT_EQ(parsed->macros[2][0], (std::array<uint8_t, 4>{0xFF, 0xFF, 0x81, 1}));
}

TEST(MacroTable, EmptyListIsAHeader) {
    const std::vector<uint8_t> blob = BuildMacroBlob({});
    EXPECT_EQ(blob, (std::vector<uint8_t>{0xAA, 0x55, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(ParseMacroTable(blob.data(), blob.size(), 128).has_value());
}

TEST(MacroTable, SizeFollowsTheEventCounts) {
    EXPECT_EQ(MacroBlobSize({60}), 262u);
    EXPECT_EQ(MacroBlobSize({}), 16u);
    EXPECT_EQ(MacroBlobSize({1, 2, 3}), 16u + 18u + 24u);
}

TEST(MacroTable, TheKeyboardRefusesMalformedTables) {
    const std::vector<uint8_t> good = BuildMacroBlob({{Event(1, 1, 1)}, {Event(2, 2, 2)}});
    const struct {
        const char* name;
        size_t at;
        uint8_t value;
        size_t capacity;
    } cases[] = {
        {"bad magic", 0, 0x00, 4096},          {"total too short", 2, 20, 4096},       {"total too long", 2, 200, 4096},
        {"offset out of order", 16, 40, 4096}, {"event count too large", 20, 9, 4096}, {"over capacity", 0, 0xAA, 30},
    };
    ASSERT_TRUE(ParseMacroTable(good.data(), good.size(), 4096).has_value());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bad = good;
        bad[c.at] = c.value;
        EXPECT_FALSE(ParseMacroTable(bad.data(), bad.size(), c.capacity).has_value());
    }
    EXPECT_FALSE(ParseMacroTable(good.data(), 10, 4096).has_value());
}

}  // namespace

// The recoil data goes to the mouse in the same table shape: the four shipped
// guns of 180 steps make a table whose records read back as the files' events.
TEST(MacroTable, TheShippedGunsMakeARecoilTableThatReadsBackAsTheFiles) {
    const DuiLib::CDuiString folder = win::FromUtf8(std::string(TAVRIK_SOURCE_DIR) + "/DefaultData/").c_str();
    const std::vector<std::vector<DeviceMacroEvent>> guns = LoadShootGunSteps(folder);
    ASSERT_EQ(guns.size(), size_t(kShootGunCount));
    const std::vector<uint8_t> blob = BuildMacroBlob(guns);
    EXPECT_EQ(blob.size(), MacroBlobSize({180, 180, 180, 180}));
    EXPECT_EQ(blob.size(), 16u + 6u * 4u + 4u * 720u);
    const auto parsed = ParseMacroTable(blob.data(), blob.size(), 65535);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->macros.size(), 4u);
    for (int gun = 0; gun < kShootGunCount; ++gun) {
        const Json::Value events = CJsonFileUtil::LoadJson(folder + ShootFileName(gun))["Events"];
        ASSERT_EQ(parsed->macros[size_t(gun)].size(), events.size()) << gun;
        for (Json::ArrayIndex i = 0; i < events.size(); ++i) {
            DeviceMacroEvent want;
            PackMacroEvent(events[i], want);
            EXPECT_EQ(parsed->macros[size_t(gun)][i],
                      (std::array<uint8_t, 4>{want.delayLow, want.delayHigh, want.type, want.code}))
                << gun << "/" << i;
        }
    }
}
