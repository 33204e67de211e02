#pragma once

// The music analysis's Fourier transform: radix 2, decimation in time, with
// the angle given by the caller (the analysis uses a constant slightly below
// 2 pi, which gives positive-exponent twiddle factors).

#include <cstddef>

struct FftComplex {
    double re = 0;
    double im = 0;
};

// The angle the spectrum analysis passes to RunFFT.
inline constexpr double kFftAngle = 6.2831852;

// out[k] = sum over j of in[j] * e^(i * angle * j * k / n), computed in
// place in `out` after a bit-reversed copy. n must be a power of two from 1
// to 2^16; any other n leaves `out` untouched and returns false. `in` and
// `out` must not overlap.
bool RunFFT(const FftComplex* in, FftComplex* out, std::size_t n, double angle);
