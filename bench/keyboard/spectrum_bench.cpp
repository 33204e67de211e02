// The analysis of one captured packet: transform of the last 1024 values and
// the 500 magnitudes sent to the main window. Goal: at most 50 us.

#include <benchmark/benchmark.h>

#include <random>

#include "keyboard/audio/run_fft.h"
#include "keyboard/audio/spectrum_frame.h"

static void BM_Spectrum1024(benchmark::State& state) {
    std::mt19937 random(1);
    std::uniform_int_distribution<int> value(-32768, 32767);
    std::array<FftComplex, kFftSize> input{};
    for (auto& c : input) {
        c.re = value(random);
    }
    std::array<FftComplex, kFftSize> output{};
    SpectrumFrame frame{};
    for (auto _ : state) {
        RunFFT(input.data(), output.data(), kFftSize, kFftAngle);
        ComputeSpectrum(output, frame);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Spectrum1024);
