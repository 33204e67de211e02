#include <gtest/gtest.h>

#include <ostream>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "keyboard/audio/run_fft.h"
#include "keyboard/audio/spectrum_frame.h"

namespace {

std::array<FftComplex, kFftSize> Sine(int bin, double amplitude) {
    std::array<FftComplex, kFftSize> in{};
    for (std::size_t j = 0; j < kFftSize; ++j) {
        in[j].re = amplitude * std::sin(2 * std::numbers::pi * bin * static_cast<double>(j) / kFftSize);
    }
    return in;
}

SpectrumFrame Analyse(const std::array<FftComplex, kFftSize>& in) {
    std::array<FftComplex, kFftSize> out{};
    EXPECT_TRUE(RunFFT(in.data(), out.data(), kFftSize, kFftAngle));
    SpectrumFrame frame;
    frame.fill(-1);
    ComputeSpectrum(out, frame);
    return frame;
}

struct SineCase {
    int bin;
    double amplitude;
    std::int32_t expected;  // 16 x amplitude, capped at 8192
};

void PrintTo(const SineCase& c, std::ostream* out) { *out << "bin " << c.bin << ", amplitude " << c.amplitude; }

class SpectrumOfSine : public ::testing::TestWithParam<SineCase> {};

TEST_P(SpectrumOfSine, PeaksAtItsBinWithSixteenTimesItsAmplitude) {
    const SineCase& c = GetParam();
    SpectrumFrame frame = Analyse(Sine(c.bin, c.amplitude));
    EXPECT_EQ(frame[0], 0);
    EXPECT_NEAR(frame[c.bin], c.expected, 1);
    for (std::size_t k = 1; k < kSpectrumBins; ++k) {
        if (static_cast<int>(k) != c.bin) {
            EXPECT_LE(frame[k], 1) << "bin " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SpectrumOfSine,
                         ::testing::Values(SineCase{1, 100, 1600}, SineCase{20, 300, 4800}, SineCase{64, 50, 800},
                                           SineCase{123, 1000, 8192}, SineCase{250, 511, 8176},
                                           SineCase{499, 200, 3200}, SineCase{7, 512, 8192}, SineCase{33, 32767, 8192}),
                         [](const auto& info) {
                             return "bin" + std::to_string(info.param.bin) + "_amplitude" +
                                    std::to_string(static_cast<int>(info.param.amplitude));
                         });

TEST(Spectrum, SilenceGivesZeroEverywhere) {
    SpectrumFrame frame = Analyse(std::array<FftComplex, kFftSize>{});
    for (std::int32_t v : frame) {
        EXPECT_EQ(v, 0);
    }
}

TEST(Spectrum, MagnitudeIsTruncatedAndCapped) {
    std::array<FftComplex, kFftSize> transform{};
    transform[1] = {31.9, 0};         // sqrt(31.9^2 / 1024) = 0.997 -> 0
    transform[2] = {32, 0};           // exactly 1
    transform[3] = {0, -320};         // 10, sign does not matter
    transform[4] = {8192.0 * 32, 0};  // exactly the cap
    transform[5] = {1e9, 1e9};        // far above
    transform[0] = {1e6, 0};          // the constant part is never shown
    SpectrumFrame frame;
    ComputeSpectrum(transform, frame);
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[1], 0);
    EXPECT_EQ(frame[2], 1);
    EXPECT_EQ(frame[3], 10);
    EXPECT_EQ(frame[4], 8192);
    EXPECT_EQ(frame[5], 8192);
}

// X_k = sum_j x_j e^(i angle j k / n), straight from the definition.
std::vector<std::complex<double>> NaiveDft(const std::vector<FftComplex>& in, double angle) {
    std::size_t n = in.size();
    std::vector<std::complex<double>> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<double> sum = 0;
        for (std::size_t j = 0; j < n; ++j) {
            double phase = angle * static_cast<double>((j * k) % n) / static_cast<double>(n);
            sum += std::complex<double>(in[j].re, in[j].im) * std::polar(1.0, phase);
        }
        out[k] = sum;
    }
    return out;
}

struct DftCase {
    std::size_t n;
    double angle;
    double tolerance;   // relative to the largest output
    bool real = false;  // imaginary parts 0, as the analysis's samples
};

void PrintTo(const DftCase& c, std::ostream* out) { *out << "n " << c.n << ", angle " << c.angle; }

class FftAgainstNaiveDft : public ::testing::TestWithParam<DftCase> {};

TEST_P(FftAgainstNaiveDft, AgreesOnRandomInput) {
    const DftCase& c = GetParam();
    std::mt19937 random(static_cast<unsigned>(c.n));
    std::uniform_real_distribution<double> value(-32768, 32767);
    std::vector<FftComplex> in(c.n);
    for (auto& v : in) {
        v = {value(random), c.real ? 0.0 : value(random) / 4};
    }
    std::vector<FftComplex> out(c.n);
    ASSERT_TRUE(RunFFT(in.data(), out.data(), c.n, c.angle));
    auto expected = NaiveDft(in, 2 * std::numbers::pi);
    double scale = 0;
    for (auto& x : expected) {
        scale = std::max(scale, std::abs(x));
    }
    for (std::size_t k = 0; k < c.n; ++k) {
        EXPECT_NEAR(out[k].re, expected[k].real(), c.tolerance * scale) << "k " << k;
        EXPECT_NEAR(out[k].im, expected[k].imag(), c.tolerance * scale) << "k " << k;
    }
}

// The analysis's angle lies 1.2e-7 below 2 pi: its outputs stay within a
// millionth of the exact transform's.
INSTANTIATE_TEST_SUITE_P(Sizes, FftAgainstNaiveDft,
                         ::testing::Values(DftCase{1, 2 * std::numbers::pi, 1e-12},
                                           DftCase{2, 2 * std::numbers::pi, 1e-12},
                                           DftCase{8, 2 * std::numbers::pi, 1e-12},
                                           DftCase{64, 2 * std::numbers::pi, 1e-10},
                                           DftCase{1024, 2 * std::numbers::pi, 1e-9}, DftCase{1024, kFftAngle, 1e-6},
                                           DftCase{2, kFftAngle, 1e-9, true}, DftCase{1024, kFftAngle, 1e-6, true}),
                         [](const auto& info) {
                             const double angle = info.param.angle;
                             return "n" + std::to_string(info.param.n) +
                                    (angle == kFftAngle ? "_analysis_angle" : "_two_pi") +
                                    (info.param.real ? "_real" : "");
                         });

// Signals for which the transform takes each of its ways: real samples
// (imaginary parts 0 or -0) the real transform, anything else the complex one.
struct SignalCase {
    const char* name;
    FftComplex (*sample)(std::size_t j, std::size_t n);
};

void PrintTo(const SignalCase& c, std::ostream* out) { *out << c.name; }

const SignalCase kSignals[] = {
    {"impulse_first",
     [](std::size_t j, std::size_t) {
         return FftComplex{j == 0 ? 1.0 : 0.0, 0};
     }},
    // X_k = e^(i 2 pi k / n): the sign of the exponent shows.
    {"impulse_second",
     [](std::size_t j, std::size_t) {
         return FftComplex{j == 1 ? 1.0 : 0.0, 0};
     }},
    {"impulse_last",
     [](std::size_t j, std::size_t n) {
         return FftComplex{j == n - 1 ? -7.0 : 0.0, 0};
     }},
    {"constant",
     [](std::size_t, std::size_t) {
         return FftComplex{3, 0};
     }},
    {"alternating",
     [](std::size_t j, std::size_t) {
         return FftComplex{j % 2 == 0 ? 1.0 : -1.0, 0};
     }},
    {"ramp",
     [](std::size_t j, std::size_t) {
         return FftComplex{static_cast<double>(j), 0};
     }},
    {"two_tones",
     [](std::size_t j, std::size_t n) {
         const double t = 2 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(n);
         return FftComplex{1000 * std::sin(3 * t) + 250 * std::cos(5 * t), 0};
     }},
    {"negative_zero_imaginary",
     [](std::size_t j, std::size_t) {
         return FftComplex{static_cast<double>((j * 7919) % 65536) - 32768, -0.0};
     }},
    {"imaginary_last",
     [](std::size_t j, std::size_t n) {
         return FftComplex{static_cast<double>(j % 5), j == n - 1 ? 0.5 : 0.0};
     }},
    {"imaginary_first",
     [](std::size_t j, std::size_t) {
         return FftComplex{static_cast<double>(j % 3), j == 0 ? -2.0 : 0.0};
     }},
};

// Outputs on and off the 16-byte boundary FFTW's SIMD code looks for: an
// array of FftComplex may lie either way.
struct alignas(16) OnBoundary {
    std::array<FftComplex, kFftSize> values{};
};
struct alignas(16) OffBoundary {
    double padding = 0;
    std::array<FftComplex, kFftSize> values{};
};

class FftOfSignal : public ::testing::TestWithParam<std::tuple<SignalCase, std::size_t>> {};

TEST_P(FftOfSignal, AgreesWithTheDefinitionWhereverTheOutputLies) {
    const auto& [signal, n] = GetParam();
    std::vector<FftComplex> in(n);
    for (std::size_t j = 0; j < n; ++j) {
        in[j] = signal.sample(j, n);
    }
    auto onBoundary = std::make_unique<OnBoundary>();
    auto offBoundary = std::make_unique<OffBoundary>();
    ASSERT_TRUE(RunFFT(in.data(), onBoundary->values.data(), n, kFftAngle));
    ASSERT_TRUE(RunFFT(in.data(), offBoundary->values.data(), n, kFftAngle));
    auto expected = NaiveDft(in, 2 * std::numbers::pi);
    double scale = 1;
    for (auto& x : expected) {
        scale = std::max(scale, std::abs(x));
    }
    for (std::size_t k = 0; k < n; ++k) {
        const FftComplex& got = onBoundary->values[k];
        EXPECT_NEAR(got.re, expected[k].real(), 1e-9 * scale) << "k " << k;
        EXPECT_NEAR(got.im, expected[k].imag(), 1e-9 * scale) << "k " << k;
        EXPECT_EQ(offBoundary->values[k].re, got.re) << "k " << k;
        EXPECT_EQ(offBoundary->values[k].im, got.im) << "k " << k;
    }
    for (std::size_t k = n; k < kFftSize; ++k) {
        ASSERT_EQ(onBoundary->values[k].re, 0) << "written past n at " << k;
        ASSERT_EQ(offBoundary->values[k].re, 0) << "written past n at " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FftOfSignal,
                         ::testing::Combine(::testing::ValuesIn(kSignals),
                                            ::testing::Values(std::size_t{2}, std::size_t{4}, std::size_t{16},
                                                              kFftSize)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_n" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(RunFFT, RefusesSizesThatAreNotPowersOfTwo) {
    std::vector<FftComplex> in(3, FftComplex{1, 0});
    std::vector<FftComplex> out(3, FftComplex{7, 7});
    for (std::size_t n : {0, 3, 1000}) {
        EXPECT_FALSE(RunFFT(in.data(), out.data(), n, kFftAngle)) << n;
    }
    EXPECT_FALSE(RunFFT(in.data(), out.data(), (std::size_t{1} << 16) * 2, kFftAngle));
    EXPECT_EQ(out[0].re, 7) << "nothing written";
}

}  // namespace
