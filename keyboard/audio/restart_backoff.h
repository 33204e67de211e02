#pragma once

// Delays between restarts of a capture that keeps ending: the first delay,
// then twice the previous one up to the limit; back to the first once data
// has flowed.

#include <cstdint>

class RestartBackoff {
public:
    RestartBackoff(std::uint32_t firstMs, std::uint32_t maxMs) : first_(firstMs), max_(maxMs), next_(firstMs) {}

    // The delay before the coming restart; the one after it doubles.
    std::uint32_t Next();
    void Reset() { next_ = first_; }

private:
    std::uint32_t first_;
    std::uint32_t max_;
    std::uint32_t next_;
};
