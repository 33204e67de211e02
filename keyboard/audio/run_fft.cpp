#include "keyboard/audio/run_fft.h"

#include <fftw3.h>

#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <numbers>

namespace {

constexpr unsigned kMaxFftBits = 16;
constexpr std::size_t kMaxFftSize = std::size_t{1} << kMaxFftBits;

std::size_t BitReverse(std::size_t k, unsigned bits) {
    std::size_t r = 0;
    for (unsigned b = 0; b < bits; ++b) {
        r = (r << 1) | ((k >> b) & 1);
    }
    return r;
}

unsigned Log2(std::size_t n) {
    unsigned bits = 0;
    while ((std::size_t{1} << bits) < n) {
        ++bits;
    }
    return bits;
}

// The radix-2 transform for any angle.
void RunRadix2(const FftComplex* in, FftComplex* out, std::size_t n, double angle) {
    const unsigned bits = Log2(n);
    for (std::size_t k = 0; k < n; ++k) {
        out[BitReverse(k, bits)] = in[k];
    }
    for (std::size_t size = 2; size <= n; size <<= 1) {
        double theta = angle / static_cast<double>(size);
        double half = std::sin(theta / 2);
        double alpha = 2 * half * half;
        double beta = std::sin(theta);
        std::size_t span = size / 2;
        for (std::size_t j = 0; j < n; j += size) {
            double wRe = 1;
            double wIm = 0;
            for (std::size_t k = j; k < j + span; ++k) {
                FftComplex& a = out[k];
                FftComplex& b = out[k + span];
                double tRe = wRe * b.re - wIm * b.im;
                double tIm = wRe * b.im + wIm * b.re;
                b.re = a.re - tRe;
                b.im = a.im - tIm;
                a.re += tRe;
                a.im += tIm;
                double oldRe = wRe;
                wRe -= alpha * wRe + beta * wIm;
                wIm -= alpha * wIm - beta * oldRe;
            }
        }
    }
}

// FFTW's plans for one size, made once: a real-input plan for the analysis's
// samples and a complex plan for everything else. FFTW's planner is not
// thread-safe; running a plan on arrays of the caller's is.
struct SizePlans {
    fftw_plan real = nullptr;
    fftw_plan complex = nullptr;
};

struct Plans {
    std::mutex lock;
    std::array<SizePlans, kMaxFftBits + 1> bySize;
};

Plans& AllPlans() {
    static Plans plans;
    return plans;
}

const SizePlans& PlansFor(std::size_t n) {
    Plans& plans = AllPlans();
    std::lock_guard guard(plans.lock);
    SizePlans& p = plans.bySize[Log2(n)];
    if (!p.complex) {
        const int size = static_cast<int>(n);
        double* samples = fftw_alloc_real(n);
        fftw_complex* spectrum = fftw_alloc_complex(n);
        fftw_complex* from = fftw_alloc_complex(n);
        constexpr unsigned kFlags = FFTW_ESTIMATE | FFTW_UNALIGNED;
        p.real = fftw_plan_dft_r2c_1d(size, samples, spectrum, kFlags);
        p.complex = fftw_plan_dft_1d(size, from, spectrum, FFTW_BACKWARD, kFlags);
        fftw_free(from);
        fftw_free(spectrum);
        fftw_free(samples);
    }
    return p;
}

// The transform with the angle 2 pi (or the analysis's angle just below it,
// whose outputs stay within a millionth of the exact transform's): FFTW's
// backward transform, which has the same positive exponent.
bool IsTwoPi(double angle) { return std::abs(angle - 2 * std::numbers::pi) < 1e-6; }

void RunFftw(const FftComplex* in, FftComplex* out, std::size_t n) {
    static_assert(sizeof(FftComplex) == sizeof(fftw_complex));
    const SizePlans& plans = PlansFor(n);
    bool real = true;
    for (std::size_t k = 0; k < n && real; ++k) real = in[k].im == 0;
    if (!real || n < 2) {
        fftw_execute_dft(plans.complex, reinterpret_cast<fftw_complex*>(const_cast<FftComplex*>(in)),
                         reinterpret_cast<fftw_complex*>(out));
        return;
    }
    // Real samples: the real transform gives the lower half of the forward
    // spectrum; the backward one is its conjugate, and the upper half mirrors
    // the lower. The samples are gathered in a buffer of the thread's own.
    thread_local std::unique_ptr<double[]> samples;
    thread_local std::size_t capacity = 0;
    if (capacity < n) {
        samples = std::make_unique<double[]>(n);
        capacity = n;
    }
    for (std::size_t k = 0; k < n; ++k) samples[k] = in[k].re;
    auto* half = reinterpret_cast<fftw_complex*>(out);
    fftw_execute_dft_r2c(plans.real, samples.get(), half);
    for (std::size_t k = 0; k <= n / 2; ++k) out[k].im = -out[k].im;
    for (std::size_t k = n / 2 + 1; k < n; ++k) out[k] = {out[n - k].re, -out[n - k].im};
}

}  // namespace

bool RunFFT(const FftComplex* in, FftComplex* out, std::size_t n, double angle) {
    if (n == 0 || n > kMaxFftSize || (n & (n - 1)) != 0) {
        return false;
    }
    if (IsTwoPi(angle)) {
        RunFftw(in, out, n);
    } else {
        RunRadix2(in, out, n, angle);
    }
    return true;
}
