#include "keyboard/audio/spectrum_frame.h"

#include <cmath>

void ComputeSpectrum(const std::array<FftComplex, kFftSize>& transform, SpectrumFrame& frame) {
    frame[0] = 0;
    for (std::size_t k = 1; k < kSpectrumBins; ++k) {
        const FftComplex& c = transform[k];
        double magnitude = std::floor(std::sqrt((c.re * c.re + c.im * c.im) / static_cast<double>(kFftSize)));
        frame[k] = magnitude >= kSpectrumCap ? kSpectrumCap : static_cast<std::int32_t>(magnitude);
    }
}
