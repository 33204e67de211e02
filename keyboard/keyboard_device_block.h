#pragma once
// The keyboard's 49-byte parameter block of one profile: what the page takes
// from it on reading and what it puts into it on writing. Bytes the page
// does not manage go back to the keyboard as they were read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "keyboard/keyboard_clock.h"
#include "link/keyboard_profiledata.h"
#include "link/light_setting.h"

inline constexpr size_t kDeviceBlockSize = 49;
// Each profile's block starts at profile x 64 of the parameter space, whose
// byte 0 names the active profile.
inline constexpr uint32_t kDeviceBlockStride = 64;
using KeyboardDeviceBlock = std::array<uint8_t, kDeviceBlockSize>;

// Mode code 0xFE: the keyboard runs a lighting the PC computes (the page's
// mode is kept).
inline constexpr uint8_t kHostLightingCode = 0xFE;
// The keyboard's speed codes run the other way: speed = 5 - code.
inline constexpr int kKeyboardSpeedSteps = 5;

namespace device_block {
inline constexpr size_t kActiveProfile = 0, kMode = 1, kBrightness = 2, kSpeed = 3, kDirection = 4, kColorful = 5,
                        kRed = 6, kGreen = 7, kBlue = 8, kCleared = 16, kProfileFlags = 17, kSubMode = 18, kWFlag = 19,
                        kKey6Flag = 20, kWinFlag = 21, kPollingRate = 22, kCustomGroup = 25, kFrameCount = 34,
                        kClock = 35, kFrameIntervalLow = 43, kFrameIntervalHigh = 44, kKeyShake = 45, kWritten = 47;
}

// The lighting mode of a mode code: the index of the first equal entry of
// the mode-value list, else the code itself.
uint8_t ModeFromCode(uint8_t code, const std::vector<int32_t>& modeValues);
// The mode code of a lighting mode: its mode-value entry, else the mode itself.
uint8_t CodeFromMode(uint8_t mode, const std::vector<int32_t>& modeValues);

// What a block read gives the page.
struct DeviceBlockSettings {
    LightSetting light;           // mode, brightness 0..5, speed 0..5, colours, sub-mode, group
    KeyboardSystemStages stages;  // Key6Flag, WinFlag, WFlag, KeyShake from the block
    int frameInterval = 0;
    uint8_t runningMode = 0;  // the mode the light threads run
};

// Merges a block read from the keyboard into the page's current lighting and
// system settings. Brightness is held to 0..5 and speed (5 - code) to 0..5, so
// no device byte indexes past the effect tables.
DeviceBlockSettings MergeDeviceBlock(const KeyboardDeviceBlock& block, const std::vector<int32_t>& modeValues,
                                     const LightSetting& current, const KeyboardSystemStages& stages);

// The block to write: `copy` with the managed bytes replaced by the settings,
// the clock and the frame interval.
KeyboardDeviceBlock BuildDeviceBlock(const KeyboardDeviceBlock& copy, const LightSetting& light,
                                     const KeyboardSystemStages& stages, const std::vector<int32_t>& modeValues,
                                     int frameInterval, const KeyboardClock& clock, uint8_t firstByte);
