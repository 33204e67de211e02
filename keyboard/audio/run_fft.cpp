#include "keyboard/audio/run_fft.h"

#include <cmath>

namespace {

constexpr std::size_t kMaxFftSize = std::size_t{1} << 16;

std::size_t BitReverse(std::size_t k, unsigned bits) {
    std::size_t r = 0;
    for (unsigned b = 0; b < bits; ++b) {
        r = (r << 1) | ((k >> b) & 1);
    }
    return r;
}

}  // namespace

bool RunFFT(const FftComplex* in, FftComplex* out, std::size_t n, double angle) {
    if (n == 0 || n > kMaxFftSize || (n & (n - 1)) != 0) {
        return false;
    }
    unsigned bits = 0;
    while ((std::size_t{1} << bits) < n) {
        ++bits;
    }
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
    return true;
}
