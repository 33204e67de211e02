#include "keyboard/keyboard_device_block.h"

#include <algorithm>

using namespace device_block;

uint8_t ModeFromCode(uint8_t code, const std::vector<int32_t>& modeValues) {
    const auto found = std::find(modeValues.begin(), modeValues.end(), int32_t(code));
    if (found == modeValues.end()) return code;
    return uint8_t(found - modeValues.begin());
}

uint8_t CodeFromMode(uint8_t mode, const std::vector<int32_t>& modeValues) {
    return mode < modeValues.size() ? uint8_t(modeValues[mode]) : mode;
}

DeviceBlockSettings MergeDeviceBlock(const KeyboardDeviceBlock& b, const std::vector<int32_t>& modeValues,
                                     const LightSetting& current, const KeyboardSystemStages& stages) {
    DeviceBlockSettings s;
    s.light = current;
    const uint8_t mode = ModeFromCode(b[kMode], modeValues);
    if (mode != kHostLightingCode) s.light.mode = mode;
    s.runningMode = s.light.mode;
    s.light.brightness = std::min<uint8_t>(b[kBrightness], kMaxBrightnessLevel);
    s.light.speed = uint8_t(b[kSpeed] <= kKeyboardSpeedSteps ? kKeyboardSpeedSteps - b[kSpeed] : 0);
    s.light.direction = b[kDirection];
    s.light.colorful = b[kColorful];
    s.light.red = b[kRed];
    s.light.green = b[kGreen];
    s.light.blue = b[kBlue];
    s.light.subMode = b[kSubMode];
    s.light.customGroup = b[kCustomGroup];
    s.stages = stages;
    s.stages.key6Flag = b[kKey6Flag];
    s.stages.winFlag = b[kWinFlag];
    s.stages.wFlag = b[kWFlag];
    s.stages.keyShake = b[kKeyShake];
    s.frameInterval = b[kFrameIntervalHigh] * 256 + b[kFrameIntervalLow];
    return s;
}

KeyboardDeviceBlock BuildDeviceBlock(const KeyboardDeviceBlock& copy, const LightSetting& light,
                                     const KeyboardSystemStages& stages, const std::vector<int32_t>& modeValues,
                                     int frameInterval, const KeyboardClock& clock, uint8_t firstByte) {
    KeyboardDeviceBlock b = copy;
    b[kWFlag] = uint8_t(stages.wFlag);
    b[kKey6Flag] = uint8_t(stages.key6Flag);
    b[kWinFlag] = uint8_t(stages.winFlag);
    b[kPollingRate] = uint8_t(stages.pollingRate);
    b[kKeyShake] = uint8_t(stages.keyShake);
    b[kMode] = CodeFromMode(light.mode, modeValues);
    b[kBrightness] = light.brightness;
    b[kSpeed] = uint8_t(kKeyboardSpeedSteps - std::min<int>(light.speed, kKeyboardSpeedSteps));
    if (b[kMode] == 16) b[kSpeed] = 1;
    b[kDirection] = light.direction;
    b[kColorful] = light.colorful;
    b[kRed] = light.red;
    b[kGreen] = light.green;
    b[kBlue] = light.blue;
    b[kCleared] = 0;
    b[kSubMode] = light.subMode;
    b[kCustomGroup] = light.customGroup;
    b[kActiveProfile] = firstByte;
    // The PC's own effects: the keyboard shows what the PC streams.
    if (b[kMode] == 21 || b[kMode] == 22) b[kMode] = kHostLightingCode;
    std::copy(clock.begin(), clock.end(), b.begin() + kClock);
    b[kWritten] = 1;
    b[kFrameIntervalLow] = uint8_t(frameInterval & 0xFF);
    b[kFrameIntervalHigh] = uint8_t((frameInterval >> 8) & 0xFF);
    return b;
}
