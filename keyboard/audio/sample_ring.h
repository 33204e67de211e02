#pragma once

// The last 1024 captured 16-bit values, channels interleaved as delivered.
// Packets usually hold fewer values than one analysis needs: each appends
// the whole values its byte count holds (a stray odd byte is dropped), and
// the analysis reads the ring oldest first, with zeros in front until 1024
// values have arrived.

#include <array>
#include <cstddef>
#include <cstdint>

#include "keyboard/audio/spectrum_frame.h"

class SampleRing {
public:
    // Appends the little-endian 16-bit values of `bytes` bytes at `data`.
    void Append(const std::uint8_t* data, std::size_t bytes);
    // Writes the ring, oldest value first, as real parts (imaginary 0).
    void CopyOldestFirst(std::array<FftComplex, kFftSize>& out) const;
    // Back to 1024 zeros.
    void Clear();

private:
    std::array<std::int16_t, kFftSize> values_{};
    std::size_t next_ = 0;  // where the next value goes; also the oldest one
};
