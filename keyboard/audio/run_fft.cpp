#include "keyboard/audio/run_fft.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
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
// thread-safe; running a plan on arrays of the caller's is. The real plan runs
// on buffers of FFTW's own allocation only, so it may use the SIMD codelets;
// the complex plan runs on the caller's arrays, whose alignment is unknown.
struct SizePlans {
    std::atomic<bool> ready{false};
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
    SizePlans& p = plans.bySize[Log2(n)];
    if (p.ready.load(std::memory_order_acquire)) {
        return p;
    }
    std::lock_guard guard(plans.lock);
    if (!p.ready.load(std::memory_order_relaxed)) {
        const int size = static_cast<int>(n);
        double* samples = fftw_alloc_real(n);
        fftw_complex* spectrum = fftw_alloc_complex(n);
        fftw_complex* from = fftw_alloc_complex(n);
        p.real = fftw_plan_dft_r2c_1d(size, samples, spectrum, FFTW_ESTIMATE);
        p.complex = fftw_plan_dft_1d(size, from, spectrum, FFTW_BACKWARD, FFTW_ESTIMATE | FFTW_UNALIGNED);
        fftw_free(from);
        fftw_free(spectrum);
        fftw_free(samples);
        p.ready.store(true, std::memory_order_release);
    }
    return p;
}

// The real transform's input and output, allocated by FFTW (and so aligned
// as the real plan expects), kept per thread and grown when a larger size
// comes.
class RealBuffers {
public:
    RealBuffers() = default;
    RealBuffers(const RealBuffers&) = delete;
    RealBuffers& operator=(const RealBuffers&) = delete;
    ~RealBuffers() { Free(); }

    // False when the memory cannot be had; the buffers are then empty.
    bool Reserve(std::size_t n) {
        if (capacity_ >= n) {
            return true;
        }
        Free();
        samples_ = fftw_alloc_real(n);
        half_ = fftw_alloc_complex(n / 2 + 1);
        if (!samples_ || !half_) {
            Free();
            return false;
        }
        capacity_ = n;
        return true;
    }
    double* samples() const { return samples_; }
    fftw_complex* half() const { return half_; }

private:
    void Free() {
        fftw_free(half_);
        fftw_free(samples_);
        half_ = nullptr;
        samples_ = nullptr;
        capacity_ = 0;
    }

    double* samples_ = nullptr;
    fftw_complex* half_ = nullptr;
    std::size_t capacity_ = 0;
};

// The transform with the angle 2 pi (or the analysis's angle just below it,
// whose outputs stay within a millionth of the exact transform's): FFTW's
// backward transform, which has the same positive exponent.
bool IsTwoPi(double angle) { return std::abs(angle - 2 * std::numbers::pi) < 1e-6; }

void RunFftw(const FftComplex* in, FftComplex* out, std::size_t n) {
    static_assert(sizeof(FftComplex) == sizeof(fftw_complex));
    const SizePlans& plans = PlansFor(n);
    thread_local RealBuffers buffers;
    // Without its buffers the real transform gives way to the complex one.
    bool real = n >= 2 && buffers.Reserve(n);
    if (real) {
        // The samples are gathered in reverse order, x[(n - j) mod n]: the
        // forward (negative-exponent) transform of the reversed sequence is
        // the backward transform of the samples, so the real transform gives
        // the lower half of the wanted output as it is. They are gathered
        // while checking, in one pass without an early exit or a
        // floating-point compare, so the loop stays branch-free: most calls
        // are the analysis's real samples. The imaginary parts' bits, all
        // or-ed together, are 0 but for the sign only when every one is 0 or
        // -0.
        double* samples = buffers.samples();
        samples[0] = in[0].re;
        std::uint64_t imaginaryBits = std::bit_cast<std::uint64_t>(in[0].im);
        for (std::size_t k = 1; k < n; ++k) {
            samples[n - k] = in[k].re;
            imaginaryBits |= std::bit_cast<std::uint64_t>(in[k].im);
        }
        real = (imaginaryBits << 1) == 0;
    }
    if (!real) {
        fftw_execute_dft(plans.complex, reinterpret_cast<fftw_complex*>(const_cast<FftComplex*>(in)),
                         reinterpret_cast<fftw_complex*>(out));
        return;
    }
    // The real plan was made on FFTW's aligned buffers and may only write to
    // an output aligned the same way; a caller's array that is not goes
    // through the thread's buffer.
    auto* lower = reinterpret_cast<fftw_complex*>(out);
    const bool direct = fftw_alignment_of(&out->re) == fftw_alignment_of(buffers.half()[0]);
    fftw_execute_dft_r2c(plans.real, buffers.samples(), direct ? lower : buffers.half());
    const std::size_t middle = n / 2;
    if (!direct) {
        const auto* half = reinterpret_cast<const FftComplex*>(buffers.half());
        std::copy(half, half + middle + 1, out);
    }
    // Real samples: the upper half mirrors the lower.
    for (std::size_t k = 1; k < middle; ++k) {
        out[n - k] = {out[k].re, -out[k].im};
    }
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
