#include "shell/main/spectrum_bands.h"

SpectrumValues TakeSpectrumDifferences(const SpectrumValues& frame, SpectrumValues& previous) {
    SpectrumValues differences{};
    for (std::size_t i = 0; i < kSpectrumValueCount; ++i) {
        const std::int64_t d = std::int64_t(frame[i]) - std::int64_t(previous[i]);
        differences[i] = std::int32_t(std::uint32_t(d < 0 ? -d : d));
    }
    previous = frame;
    return differences;
}

void SmoothBandLevels(std::int32_t* levels, std::size_t bands, const SpectrumValues& differences) {
    for (std::size_t b = 0; b < bands && b * kBandStride + kBinsPerBand <= kSpectrumValueCount; ++b) {
        std::uint32_t sum = std::uint32_t(levels[b]);
        for (std::size_t k = 0; k < kBinsPerBand; ++k) sum += std::uint32_t(differences[b * kBandStride + k]);
        levels[b] = std::int32_t(sum / 4);
    }
}
