#pragma once

// The main window's reduction of the audio capture's spectra to the band
// levels a keyboard's music lighting draws: per band the change of four
// neighbouring bins since the previous frame, smoothed over the frames.

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kSpectrumValueCount = 500;
inline constexpr std::size_t kKeyboardBandCount = 25;
inline constexpr std::size_t kMouseBandCount = 10;
// The bins a band sums; the fifth bin of each group of five is not used.
inline constexpr std::size_t kBinsPerBand = 4;
inline constexpr std::size_t kBandStride = 5;

using SpectrumValues = std::array<std::int32_t, kSpectrumValueCount>;
using KeyboardBandLevels = std::array<std::int32_t, kKeyboardBandCount>;
using MouseBandLevels = std::array<std::int32_t, kMouseBandCount>;

// |frame[i] - previous[i]| for every bin; previous becomes frame.
SpectrumValues TakeSpectrumDifferences(const SpectrumValues& frame, SpectrumValues& previous);

// level[b] := (level[b] + the differences of bins 5b .. 5b+3) / 4, in
// unsigned 32-bit arithmetic: the old level stays in the sum, so a steady
// change a per bin settles near 4a/3.
void SmoothBandLevels(std::int32_t* levels, std::size_t bands, const SpectrumValues& differences);
