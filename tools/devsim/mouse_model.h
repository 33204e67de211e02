#pragma once

// Firmware model of the mouse (cable and receiver): its information block,
// a layout of device keys holding the default function of each button, four
// parameter blocks at p x 128 of the parameter space (byte 0 of the space
// names the active profile), the key map, and the macro (0x15) and recoil
// (0x17) tables, which it checks and decodes.

#include "tools/devsim/device_memory.h"
#include "tools/devsim/emulator.h"
#include "tools/devsim/keyboard_model.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::devsim {

inline constexpr int kMouseProfiles = 4;
inline constexpr std::size_t kMouseBlockStride = 128;
inline constexpr std::size_t kMouseBlockRead = 71;
inline constexpr std::size_t kMouseBlockWrite = 66;
inline constexpr std::size_t kMouseStages = 5;
// The factory information block.
inline constexpr std::uint8_t kMouseFactoryKeys = 12;
inline constexpr std::uint8_t kMouseMacroUnits = 16;  // x 128 bytes
inline constexpr std::uint16_t kMouseSensor = 0x3325;
inline constexpr std::uint8_t kMouseDpiStep = 50;
inline constexpr std::uint16_t kMouseSliderMax = 319;
inline constexpr std::uint16_t kMouseDpiBase = 50;
// The recoil table the mouse takes: 4 guns, at most this many bytes.
inline constexpr std::size_t kMouseShootGuns = 4;
inline constexpr std::size_t kMouseShootCapacity = 8192;

// The light-mode codes of the firmware for the page's modes 0..9 (wave,
// spectrum, breathing, static, flash, running light, reactive, breathing
// through colours, flash through colours, off).
inline constexpr std::array<std::uint8_t, 10> kMouseModeCodes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0};

// The buttons' default functions (code, p1, p2) in the order of the page's
// positions; the firmware's layout holds them at keys of its own order.
inline constexpr std::array<std::array<std::uint8_t, 3>, 11> kMouseButtonDefaults = {{
    {0x10, 0x01, 0},
    {0x10, 0x02, 0},
    {0x10, 0x04, 0},
    {0x10, 0x10, 0},
    {0x10, 0x08, 0},
    {0x13, 1, 0},
    {0x13, 2, 0},
    {0x13, 3, 0},
    {0xA0, 0x1B, 0},
    {0x16, 0x90, 1},
    {0x14, 0x78, 2},
}};
// The device key holding button position p's default in the factory layout.
std::size_t MouseFactoryKeyOf(std::size_t position);
// A marker in the block bytes the program neither writes nor reads (66..70).
std::uint8_t MouseKeptByteMarker(int profile, std::size_t byte);

void SeedMouseMemory(DeviceMemory& m);

struct MouseStageView {
    std::uint8_t active = 0, separateXY = 0;
    std::uint16_t x = 0, y = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const MouseStageView&, const MouseStageView&) = default;
};

// Block p decoded as the firmware reads it.
struct MouseBlockView {
    std::uint8_t activeProfile = 0;  // byte 0 of the space
    std::uint8_t modeCode = 0, brightness = 0, speedCode = 0, direction = 0, colorful = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
    std::uint8_t polling = 0, activeStage = 0, flag = 0;
    std::array<MouseStageView, kMouseStages> stages{};
    std::uint16_t screenWidth = 0, screenHeight = 0;
    std::uint8_t correctMinSq = 0, correctPixThresh = 0;
    std::array<std::uint8_t, kMouseBlockRead> bytes{};
};
MouseBlockView ViewMouseBlock(const DeviceMemory& m, int profile);

// The recoil table decoded (events of each gun); nullopt when malformed.
std::optional<MacroTableView> ViewShoot(const DeviceMemory& m);

// Handles the macro (0x15) and recoil (0x17) writes: each packet is stored;
// a table that is malformed, or (macros) larger than the capacity of byte 6 x
// 128, is answered with status 0xFF once its header or last packet shows it.
// False for every other command.
bool MouseCommand(DeviceMemory& m, const std::uint8_t* request, std::uint8_t* reply);

// --- Actions on the mouse itself -------------------------------------------
class MouseModel {
public:
    explicit MouseModel(Emulator& emulator) : emulator_(emulator) {}
    // Makes profile p active (byte 0 of the space) and reports 0x100p.
    bool SwitchProfile(int profile);
    // Makes stage s the active block's DPI stage and reports 0x11sp.
    bool SwitchDpiStage(int stage);
    bool Trigger();  // 0x0403
    bool Resync();   // 0x0401

private:
    Emulator& emulator_;
};

// The mouse's commands of tavrik-devsim's command line:
//   profile NAME P | dpi NAME S | trigger NAME | resync NAME
//   peek NAME block P | keymap | macros | shoot
// False when the verb is not one of them (or the device is not a mouse).
bool MouseCommandLine(Emulator& emulator, const std::string& line, std::string* reply);

}  // namespace tavrik::devsim
