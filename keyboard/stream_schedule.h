#pragma once
// When the stream thread sends its frames: one every period, counted from a
// deadline, so a frame starts every 20 ms whatever the send before it took.

#include <cstdint>

class StreamSchedule {
public:
    static constexpr uint32_t kPeriodMs = 20;

    // Milliseconds to wait from `now` until the next frame is due; moves the
    // deadline on by a period.
    uint32_t WaitBeforeFrame(uint32_t now);
    // The stream ended (a mode without it): the next one starts afresh.
    void Stop();

private:
    bool running_ = false;
    uint32_t due_ = 0;
};
