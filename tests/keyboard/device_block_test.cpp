// Reading and writing the keyboard's profile block, and its clock bytes.
#include <gtest/gtest.h>

#include "keyboard/keyboard_clock.h"
#include "keyboard/keyboard_device_block.h"

namespace {

using namespace device_block;

// A list whose codes differ from the mode numbers: mode i has code 0x40 + i,
// except mode 7, whose code is 0x11.
std::vector<int32_t> ModeValues() {
    std::vector<int32_t> v;
    for (int i = 0; i < 31; ++i) v.push_back(0x40 + i);
    v[7] = 0x11;
    return v;
}

KeyboardDeviceBlock Block(uint8_t mode, uint8_t brightness, uint8_t speed) {
    KeyboardDeviceBlock b{};
    b[kMode] = mode;
    b[kBrightness] = brightness;
    b[kSpeed] = speed;
    return b;
}

TEST(DeviceBlockRead, ModeBrightnessAndSpeedFromTheBlock) {
    LightSetting current{};
    current.mode = 9;
    const struct {
        const char* name;
        KeyboardDeviceBlock block;
        uint8_t mode, brightness, speed;
    } cases[] = {
        {"host lighting keeps the mode", Block(0xFE, 3, 2), 9, 3, 3},
        {"code found at index 7", Block(0x11, 5, 0), 7, 5, 5},
        {"code found at index 0", Block(0x40, 0, 5), 0, 0, 0},
        {"unknown code is the mode", Block(0x23, 1, 4), 0x23, 1, 1},
        {"brightness past 5 held", Block(0x41, 200, 3), 1, 5, 2},
        {"speed code past 5 is speed 0", Block(0x41, 2, 9), 1, 2, 0},
        {"speed code 0 is speed 5", Block(0x41, 2, 0), 1, 2, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DeviceBlockSettings s = MergeDeviceBlock(c.block, ModeValues(), current, {});
        EXPECT_EQ(s.light.mode, c.mode);
        EXPECT_EQ(s.runningMode, c.mode);
        EXPECT_EQ(s.light.brightness, c.brightness);
        EXPECT_EQ(s.light.speed, c.speed);
    }
}

TEST(DeviceBlockRead, TakesColoursFlagsAndFrameIntervalKeepsTheRest) {
    KeyboardDeviceBlock b{};
    for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(0x60 + i);
    b[kMode] = 0x42;
    b[kBrightness] = 4;
    b[kSpeed] = 1;
    b[kFrameIntervalLow] = 0x34;
    b[kFrameIntervalHigh] = 0x12;
    LightSetting current{};
    current.previousMode = 77;
    KeyboardSystemStages stages;
    stages.repeat = 11;
    stages.repeatDelay = 12;
    stages.pollingRate = 13;
    const DeviceBlockSettings s = MergeDeviceBlock(b, ModeValues(), current, stages);
    EXPECT_EQ(s.light.mode, 2);
    EXPECT_EQ(s.light.direction, 0x64);
    EXPECT_EQ(s.light.colorful, 0x65);
    EXPECT_EQ(s.light.red, 0x66);
    EXPECT_EQ(s.light.green, 0x67);
    EXPECT_EQ(s.light.blue, 0x68);
    EXPECT_EQ(s.light.subMode, 0x60 + 18);
    EXPECT_EQ(s.light.customGroup, 0x60 + 25);
    EXPECT_EQ(s.light.previousMode, 77);
    EXPECT_EQ(s.stages.wFlag, 0x60 + 19);
    EXPECT_EQ(s.stages.key6Flag, 0x60 + 20);
    EXPECT_EQ(s.stages.winFlag, 0x60 + 21);
    EXPECT_EQ(s.stages.keyShake, 0x60 + 45);
    EXPECT_EQ(s.stages.repeat, 11);
    EXPECT_EQ(s.stages.repeatDelay, 12);
    EXPECT_EQ(s.stages.pollingRate, 13);  // byte 22 is not taken
    EXPECT_EQ(s.frameInterval, 0x1234);
}

LightSetting Light(uint8_t mode, uint8_t brightness, uint8_t speed) {
    LightSetting l{};
    l.mode = mode;
    l.brightness = brightness;
    l.speed = speed;
    l.direction = 1;
    l.colorful = 1;
    l.red = 0x10;
    l.green = 0x20;
    l.blue = 0x30;
    l.subMode = 2;
    l.customGroup = 3;
    return l;
}

TEST(DeviceBlockWrite, EveryManagedByteAndTheKeptBytesUnchanged) {
    KeyboardDeviceBlock copy{};
    for (size_t i = 0; i < copy.size(); ++i) copy[i] = uint8_t(0xA0 + i);
    KeyboardSystemStages stages;
    stages.wFlag = 0x101;  // low bytes only
    stages.key6Flag = 1;
    stages.winFlag = 0;
    stages.pollingRate = 3;
    stages.keyShake = 2;
    const KeyboardClock clock = {1, 2, 3, 4, 5, 6, 7};
    const KeyboardDeviceBlock b = BuildDeviceBlock(copy, Light(4, 5, 2), stages, ModeValues(), 0x0203, clock, 0);

    KeyboardDeviceBlock expected = copy;
    expected[0] = 0;
    expected[1] = 0x44;
    expected[2] = 5;
    expected[3] = 3;
    expected[4] = 1;
    expected[5] = 1;
    expected[6] = 0x10;
    expected[7] = 0x20;
    expected[8] = 0x30;
    expected[16] = 0;
    expected[18] = 2;
    expected[19] = 1;
    expected[20] = 1;
    expected[21] = 0;
    expected[22] = 3;
    expected[25] = 3;
    for (size_t i = 0; i < 7; ++i) expected[35 + i] = clock[i];
    expected[43] = 0x03;
    expected[44] = 0x02;
    expected[45] = 2;
    expected[47] = 1;
    for (size_t i = 0; i < b.size(); ++i) EXPECT_EQ(b[i], expected[i]) << "byte " << i;
}

TEST(DeviceBlockWrite, ModeCodesAndSpeed) {
    std::vector<int32_t> values = ModeValues();
    values[10] = 16;
    values[11] = 21;
    values[12] = 22;
    const struct {
        const char* name;
        uint8_t mode, speed, code, speedCode;
    } cases[] = {
        {"speed 2 sends 3", 1, 2, 0x41, 3},           {"speed 5 sends 0", 1, 5, 0x41, 0},
        {"code 16 sends speed code 1", 10, 4, 16, 1}, {"code 21 is host lighting", 11, 2, 0xFE, 3},
        {"code 22 is host lighting", 12, 2, 0xFE, 3}, {"a mode without an entry is written as itself", 40, 0, 40, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const KeyboardDeviceBlock b = BuildDeviceBlock({}, Light(c.mode, 1, c.speed), {}, values, 0, {}, 0);
        EXPECT_EQ(b[kMode], c.code);
        EXPECT_EQ(b[kSpeed], c.speedCode);
    }
}

TEST(DeviceBlockRoundTrip, ReadingWhatWasWrittenGivesTheSettings) {
    for (uint8_t speed = 0; speed <= 5; ++speed) {
        const LightSetting l = Light(6, 3, speed);
        const KeyboardDeviceBlock b = BuildDeviceBlock({}, l, {}, ModeValues(), 100, {}, 0);
        const DeviceBlockSettings s = MergeDeviceBlock(b, ModeValues(), {}, {});
        EXPECT_EQ(s.light, l) << int(speed);
        EXPECT_EQ(s.frameInterval, 100);
    }
}

win::SYSTEMTIME Time(int year, int month, int weekday, int day, int hour, int minute, int second) {
    win::SYSTEMTIME t;
    t.wYear = win::WORD(year);
    t.wMonth = win::WORD(month);
    t.wDayOfWeek = win::WORD(weekday);
    t.wDay = win::WORD(day);
    t.wHour = win::WORD(hour);
    t.wMinute = win::WORD(minute);
    t.wSecond = win::WORD(second);
    return t;
}

TEST(KeyboardClockBytes, SundaySecondOfMarch2025) {
    EXPECT_EQ(MakeKeyboardClock(Time(2025, 3, 0, 2, 9, 5, 7)),
              (KeyboardClock{0x07, 0x05, 0x09, 0x00, 0x02, 0x03, 0x25}));
    EXPECT_EQ(MakeKeyboardClock(Time(2099, 12, 6, 31, 23, 59, 58)),
              (KeyboardClock{0x58, 0x59, 0x23, 0x06, 0x31, 0x12, 0x99}));
    EXPECT_EQ(MakeKeyboardClock(Time(2100, 1, 5, 1, 0, 0, 0))[6], 0x00);  // the year modulo 100
}

}  // namespace
