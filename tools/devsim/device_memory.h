#pragma once

// The state of an emulated device as its commands see it. Tests seed it
// before the program reads and inspect it after the program wrote.

#include "tools/devsim/products.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrik::devsim {

struct DeviceMemory {
    static constexpr std::size_t kSpace = 65536;  // 16-bit offsets address each space

    std::array<std::uint8_t, 37> info{};                                // 0x03, the device information block
    std::vector<std::uint8_t> params = Space();                         // 0x05/0x06, parameter space by profile
    std::vector<std::uint8_t> layout = Space();                         // 0x07, key layout table
    std::vector<std::uint8_t> keyMap = Space();                         // 0x09, key map (page × 512 + position)
    std::vector<std::uint8_t> ledMap = Space();                         // 0x1B, LED index map
    std::vector<std::uint8_t> colors = Space();                         // 0x0A/0x0B, colour groups
    std::vector<std::uint8_t> liveColors = Space();                     // 0x12, the live colour stream
    std::vector<std::uint8_t> macros = Space();                         // 0x15, macro sink
    std::vector<std::uint8_t> shoot = Space();                          // 0x17, recoil sink
    std::vector<std::uint8_t> clock = Space();                          // 0x29, clock bytes
    std::vector<std::uint8_t> status = std::vector<std::uint8_t>(256);  // 0x1A by address; block at 0
    std::vector<std::uint8_t> screen;                                   // 0x21, 24-bit offsets; grows as written

    // Counters of the commands without data.
    int sessionsBegun = 0;  // 0x01
    int sessionsEnded = 0;  // 0x02
    bool inSession = false;
    int lightOnCount = 0;  // 0x1C
    int screenBegins = 0;  // 0x23
    // Profile whose block a parameter write (0x06) reached last; -1 before
    // the first: the keyboard then goes by the active profile's block.
    int lastBlockWritten = -1;
    std::uint32_t livePackets = 0;  // 0x12 packets received

    // The headset's LED output reports (id 0xFF): the twelve reports of a frame
    // are checked in their order and assembled; a complete frame becomes the
    // last frame. See lit_accessory_model.h.
    static constexpr std::size_t kHeadsetLeds = 13;
    std::array<std::uint8_t, 3 * kHeadsetLeds> ledFrame{};        // R, G, B of LEDs 0..12, the last complete frame
    std::uint32_t ledFrames = 0;                                  // complete frames taken
    std::uint32_t ledErrors = 0;                                  // reports refused
    std::string ledError;                                         // why the last one was refused
    int ledNext = 0;                                              // position of the next report in the frame's order
    std::array<std::uint8_t, 2 * 3 * kHeadsetLeds> ledPending{};  // the frame being assembled, 0x22 then 0x44 copy

    static std::vector<std::uint8_t> Space() { return std::vector<std::uint8_t>(kSpace); }
};

// Plausible factory contents of a product (information block, status).
DeviceMemory DefaultMemory(ProductKind kind);

}  // namespace tavrik::devsim
