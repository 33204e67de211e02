// The fixed records that pages, documents, light threads and devices exchange
// as bytes: every field must sit at its byte, not only the sizes must agree.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include <gtest/gtest.h>

#include "link/base/key_list_entry.h"
#include "link/light_setting.h"
#include "link/macro_event_pack.h"

namespace {

struct Field {
    const char* name;
    size_t offset;
    size_t expected;
};

void ExpectLayout(const char* record, size_t size, size_t expectedSize, std::initializer_list<Field> fields) {
    SCOPED_TRACE(record);
    EXPECT_EQ(size, expectedSize);
    for (const Field& f : fields) {
        EXPECT_EQ(f.offset, f.expected) << f.name;
    }
}

}  // namespace

TEST(RecordLayout, EveryFieldSitsAtItsByte) {
    ExpectLayout("LightSetting", sizeof(LightSetting), 14,
                 {{"mode", offsetof(LightSetting, mode), 0},
                  {"brightness", offsetof(LightSetting, brightness), 1},
                  {"speed", offsetof(LightSetting, speed), 2},
                  {"direction", offsetof(LightSetting, direction), 3},
                  {"colorful", offsetof(LightSetting, colorful), 4},
                  {"red", offsetof(LightSetting, red), 5},
                  {"green", offsetof(LightSetting, green), 6},
                  {"blue", offsetof(LightSetting, blue), 7},
                  {"reserved", offsetof(LightSetting, reserved), 8},
                  {"present", offsetof(LightSetting, present), 10},
                  {"subMode", offsetof(LightSetting, subMode), 11},
                  {"customGroup", offsetof(LightSetting, customGroup), 12},
                  {"previousMode", offsetof(LightSetting, previousMode), 13}});

    ExpectLayout("AudioLightSetting", sizeof(AudioLightSetting), 9,
                 {{"mode", offsetof(AudioLightSetting, mode), 0},
                  {"bkRed", offsetof(AudioLightSetting, bkRed), 1},
                  {"bkGreen", offsetof(AudioLightSetting, bkGreen), 2},
                  {"bkBlue", offsetof(AudioLightSetting, bkBlue), 3},
                  {"fgRed", offsetof(AudioLightSetting, fgRed), 4},
                  {"fgGreen", offsetof(AudioLightSetting, fgGreen), 5},
                  {"fgBlue", offsetof(AudioLightSetting, fgBlue), 6},
                  {"sevenColor", offsetof(AudioLightSetting, sevenColor), 7},
                  {"colorType", offsetof(AudioLightSetting, colorType), 8}});

    // Each half: 16-bit key index, function code, two parameters, one reserved byte.
    ExpectLayout("KeyListEntry", sizeof(KeyListEntry), 12,
                 {{"current", offsetof(KeyListEntry, current), 0},
                  {"defaults", offsetof(KeyListEntry, defaults), 6},
                  {"keyIndex", offsetof(KeyAssignment, keyIndex), 0},
                  {"function", offsetof(KeyAssignment, function), 2},
                  {"code", offsetof(KeyFunction, code), 0},
                  {"param1", offsetof(KeyFunction, param1), 1},
                  {"param2", offsetof(KeyFunction, param2), 2},
                  {"reserved", offsetof(KeyAssignment, reserved), 5}});

    ExpectLayout("DeviceMacroEvent", sizeof(DeviceMacroEvent), 4,
                 {{"delayLow", offsetof(DeviceMacroEvent, delayLow), 0},
                  {"delayHigh", offsetof(DeviceMacroEvent, delayHigh), 1},
                  {"type", offsetof(DeviceMacroEvent, type), 2},
                  {"code", offsetof(DeviceMacroEvent, code), 3}});
}

// The light setting travels as three 32-bit words and one 16-bit word,
// little-endian; the words a page builds must land in the right fields.
TEST(RecordLayout, LightSettingFromItsWords) {
    const uint32_t words[3] = {0x04030201u, 0x08070605u, 0x0B000000u};
    const uint16_t last = 0x0E0D;
    std::array<unsigned char, sizeof(LightSetting)> bytes{};
    static_assert(sizeof(words) + sizeof(last) == sizeof(bytes));
    std::memcpy(bytes.data(), words, sizeof(words));
    std::memcpy(bytes.data() + sizeof(words), &last, sizeof(last));
    const LightSetting s = std::bit_cast<LightSetting>(bytes);
    EXPECT_EQ(s.mode, 1);
    EXPECT_EQ(s.brightness, 2);
    EXPECT_EQ(s.speed, 3);
    EXPECT_EQ(s.direction, 4);
    EXPECT_EQ(s.colorful, 5);
    EXPECT_EQ(s.red, 6);
    EXPECT_EQ(s.green, 7);
    EXPECT_EQ(s.blue, 8);
    EXPECT_EQ(s.present, 0);
    EXPECT_EQ(s.subMode, 11);
    EXPECT_EQ(s.customGroup, 13);
    EXPECT_EQ(s.previousMode, 14);
}
