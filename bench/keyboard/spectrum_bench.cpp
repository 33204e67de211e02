// The analysis of one captured packet: transform of the last 1024 values and
// the 500 magnitudes sent to the main window. Goal: at most 50 us.

#include <benchmark/benchmark.h>

#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
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

// RunFFT against FFTW's own real transform of the same 1024 samples, in the
// same run, as a ratio of their times. Goal: RunFFT within 2x of FFTW. Both
// sides transform the same samples with the same planner flags; RunFFT has
// in addition to produce what its interface gives (complex input in, all
// 1024 outputs of the positive-exponent transform out), FFTW its 513 outputs.
// The argument is the byte offset of RunFFT's output from a 16-byte boundary:
// an array of FftComplex is only 8-byte aligned, and the analysis's output
// lies at an offset of 8.
static void BM_RunFFTOverFftwReal1024(benchmark::State& state) {
    std::mt19937 random(2);
    std::uniform_int_distribution<int> value(-32768, 32767);
    std::array<FftComplex, kFftSize> input{};
    double* samples = fftw_alloc_real(kFftSize);
    fftw_complex* spectrum = fftw_alloc_complex(kFftSize / 2 + 1);
    for (std::size_t k = 0; k < kFftSize; ++k) samples[k] = input[k].re = value(random);
    fftw_plan plan = fftw_plan_dft_r2c_1d(int(kFftSize), samples, spectrum, FFTW_ESTIMATE);
    struct alignas(16) OnBoundary {
        std::array<FftComplex, kFftSize> values{};
    };
    struct alignas(16) OffBoundary {
        double padding = 0;
        std::array<FftComplex, kFftSize> values{};
    };
    auto onBoundary = std::make_unique<OnBoundary>();
    auto offBoundary = std::make_unique<OffBoundary>();
    FftComplex* output = state.range(0) == 0 ? onBoundary->values.data() : offBoundary->values.data();
    using Clock = std::chrono::steady_clock;
    constexpr int kRounds = 200;
    Clock::duration ours{}, theirs{};
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < kRounds; ++i) {
            RunFFT(input.data(), output, kFftSize, kFftAngle);
            benchmark::DoNotOptimize(output);
            benchmark::ClobberMemory();
        }
        const auto middle = Clock::now();
        for (int i = 0; i < kRounds; ++i) {
            fftw_execute(plan);
            benchmark::DoNotOptimize(spectrum);
            benchmark::ClobberMemory();
        }
        theirs += Clock::now() - middle;
        ours += middle - start;
    }
    // Both sides computed the same transform: RunFFT's output is the
    // conjugate of FFTW's, and its upper half mirrors the lower.
    for (std::size_t k = 0; k < kFftSize; ++k) {
        const std::size_t lower = std::min(k, kFftSize - k);
        const double im = k <= kFftSize / 2 ? -spectrum[lower][1] : spectrum[lower][1];
        if (std::abs(output[k].re - spectrum[lower][0]) > 1e-6 || std::abs(output[k].im - im) > 1e-6) {
            state.SkipWithError("RunFFT and FFTW disagree");
            break;
        }
    }
    const double rounds = double(state.iterations()) * kRounds;
    state.counters["runfft_us"] = std::chrono::duration<double, std::micro>(ours).count() / rounds;
    state.counters["fftw_real_us"] = std::chrono::duration<double, std::micro>(theirs).count() / rounds;
    state.counters["ratio"] = double(ours.count()) / double(std::max<Clock::rep>(1, theirs.count()));
    fftw_destroy_plan(plan);
    fftw_free(spectrum);
    fftw_free(samples);
}
BENCHMARK(BM_RunFFTOverFftwReal1024)->ArgName("output_offset")->Arg(0)->Arg(8);
