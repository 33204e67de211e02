#include "keyboard/stream_schedule.h"

uint32_t StreamSchedule::WaitBeforeFrame(uint32_t now) {
    // The first frame comes a period after the stream starts; after a stall of
    // more than a period (a failed send's pause) the count starts afresh
    // rather than sending the missed frames in a burst.
    if (!running_ || int32_t(now - due_) > int32_t(kPeriodMs)) due_ = now + kPeriodMs;
    running_ = true;
    const int32_t left = int32_t(due_ - now);
    due_ += kPeriodMs;
    return left > 0 ? uint32_t(left) : 0;
}

void StreamSchedule::Stop() { running_ = false; }
