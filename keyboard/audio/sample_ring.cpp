#include "keyboard/audio/sample_ring.h"

void SampleRing::Append(const std::uint8_t* data, std::size_t bytes) {
    std::size_t count = bytes / 2;
    // Only the last 1024 values of a long packet stay.
    std::size_t skip = count > kFftSize ? count - kFftSize : 0;
    for (std::size_t i = skip; i < count; ++i) {
        auto bits = static_cast<std::uint16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        values_[next_] = static_cast<std::int16_t>(bits);
        next_ = (next_ + 1) % kFftSize;
    }
}

void SampleRing::CopyOldestFirst(std::array<FftComplex, kFftSize>& out) const {
    for (std::size_t i = 0; i < kFftSize; ++i) {
        out[i] = FftComplex{static_cast<double>(values_[(next_ + i) % kFftSize]), 0.0};
    }
}

void SampleRing::Clear() {
    values_.fill(0);
    next_ = 0;
}
