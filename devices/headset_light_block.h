#pragma once

// The 21-byte light block that the headset and the mouse pad keep per
// profile. The page's copy holds the light mode as its index in the page's
// mode list and the speed as an index 0..4; the device holds the mode's code
// and 5 - speed index. Bytes the program does not manage travel unchanged.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr std::size_t kHeadsetLightBlockBytes = 21;
using HeadsetLightBlock = std::array<uint8_t, kHeadsetLightBlockBytes>;

namespace light_block {

inline constexpr std::size_t kProfile = 0;
inline constexpr std::size_t kMode = 1;
inline constexpr std::size_t kBrightness = 2;
inline constexpr std::size_t kSpeed = 3;
inline constexpr std::size_t kColorful = 5;
inline constexpr std::size_t kRed = 6;
inline constexpr std::size_t kGreen = 7;
inline constexpr std::size_t kBlue = 8;
// The device's speed byte is this minus the speed index.
inline constexpr uint8_t kSpeedBase = 5;

// The block as the device holds it: byte 1 the code of the mode index (an
// index outside the list goes unchanged), byte 3 5 - speed index.
HeadsetLightBlock ToDevice(const HeadsetLightBlock& page, const std::vector<int32_t>& modeCodes);
// The block as the page holds it: byte 1 the first index whose code equals
// the device's byte (unchanged when no code does), byte 3 5 - speed byte.
HeadsetLightBlock FromDevice(const HeadsetLightBlock& device, const std::vector<int32_t>& modeCodes);

}  // namespace light_block
