#pragma once

// What one analysed packet of captured sound becomes: 500 magnitudes of the
// last 1024 captured values, sent to the main window as COPYDATA_SPECTRUM.

#include <array>
#include <cstdint>

#include "keyboard/audio/run_fft.h"

inline constexpr std::size_t kFftSize = 1024;
inline constexpr std::size_t kSpectrumBins = 500;
// Magnitudes at or above this read as this.
inline constexpr std::int32_t kSpectrumCap = 8192;

using SpectrumFrame = std::array<std::int32_t, kSpectrumBins>;

// frame[k] = min(8192, floor(sqrt((re_k^2 + im_k^2) / 1024))) for k = 1..499
// of a 1024-point transform; frame[0] = 0.
void ComputeSpectrum(const std::array<FftComplex, kFftSize>& transform, SpectrumFrame& frame);
