#pragma once

// Firmware model of the headset and the mouse pad: a 21-byte light block per
// profile at p x 64 of the parameter space (byte 0 of the space names the
// active profile), a status block, and for the headset the LED output
// reports, which it checks and assembles into 13-LED frames.

#include "tools/devsim/device_memory.h"
#include "tools/devsim/emulator.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tavrik::devsim {

inline constexpr std::size_t kLitBlockBytes = 21;
inline constexpr int kLitProfiles = 4;
// The largest value an LED report may carry.
inline constexpr std::uint8_t kLedValueCap = 247;
// Light-mode codes of the factory blocks (the codes of "default_light.json").
inline constexpr std::uint8_t kFactoryModeCode = 4;
inline constexpr std::uint8_t kFactoryBrightness = 4;
inline constexpr std::uint8_t kFactorySpeedCode = 2;
// Status byte 5 of the mouse pad: the phone type it reports.
inline constexpr std::uint8_t kMousePadPhoneType = 2;

// A marker in the bytes of a block that the program only carries.
std::uint8_t LitKeptByteMarker(int profile, std::size_t byte);

void SeedLitAccessoryMemory(DeviceMemory& m, ProductKind kind);

// The block of profile p as the device holds it.
struct LitBlockView {
    std::uint8_t activeProfile = 0;  // byte 0 of the space
    std::uint8_t modeCode = 0;
    std::uint8_t brightness = 0;
    std::uint8_t speedCode = 0;  // 5 - speed index
    std::uint8_t colorful = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
    std::array<std::uint8_t, kLitBlockBytes> bytes{};
};
LitBlockView ViewLitBlock(const DeviceMemory& m, int profile);

// One LED report of the headset (id byte included); false when refused, with
// the reason in m.ledError (the frame being assembled then starts over).
bool TakeLedReport(DeviceMemory& m, const std::uint8_t* report, std::size_t length);

struct LedFrameView {
    std::array<std::array<std::uint8_t, 3>, DeviceMemory::kHeadsetLeds> leds{};  // R, G, B per LED
    std::uint32_t frames = 0;
    std::uint32_t errors = 0;
    std::string lastError;
};
LedFrameView ViewLedFrame(const DeviceMemory& m);

// The user's change of the lighting on the device: the active block takes the
// mode code, brightness and speed code, then event 0x0401 is sent.
bool ChangeLitAccessoryLight(Emulator& e, std::uint8_t modeCode, std::uint8_t brightness, std::uint8_t speedCode);

// Command lines of the headset and the mouse pad: "light NAME CODE BRIGHTNESS
// SPEEDCODE", "peek NAME block P", "peek NAME leds". False when the line is
// not one of them (or the device is not a headset or pad).
bool LitAccessoryCommandLine(Emulator& e, const std::string& line, std::string* reply);

}  // namespace tavrik::devsim
