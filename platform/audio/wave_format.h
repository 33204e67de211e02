#pragma once

// The layout of captured samples, in the terms the program uses for it: a
// format tag, channels, rate, block size and, for the extensible layout, the
// sub-format and valid bits.

#include <cstdint>

namespace tavrik::audio {

inline constexpr std::uint16_t kWaveFormatPcm = 1;
inline constexpr std::uint16_t kWaveFormatIeeeFloat = 3;
inline constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;

// Sub-format of the extensible layout.
enum class SubFormat : std::uint8_t { None, Pcm, IeeeFloat, Other };

struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    // Extensible layout only.
    std::uint16_t validBitsPerSample = 0;
    std::uint32_t channelMask = 0;
    SubFormat subFormat = SubFormat::None;

    bool operator==(const WaveFormat&) const = default;
};

// Interleaved samples of `bits` bits in `tag`'s layout, blocks and byte rate
// filled in.
WaveFormat MakeWaveFormat(std::uint16_t tag, std::uint32_t rate, std::uint16_t channels, std::uint16_t bits);

// True for 16-bit integer samples, plain or extensible.
bool IsPcm16(const WaveFormat& format);

}  // namespace tavrik::audio
