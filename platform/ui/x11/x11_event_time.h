#pragma once

// The time of an input event on the tick-count clock. The X server stamps
// every input event with its own millisecond clock when the event happens;
// the program may read it much later (a busy window thread). Double clicks
// and every other comparison of event times need the times the user gave,
// not the times they were read.

#include <cstdint>

namespace tavrik::x11 {

class ServerTimeClock {
public:
    // The tick count at which an event stamped `serverTime` happened, given
    // the tick count `now` at which it is read. The two clocks run at a fixed
    // distance; the smallest distance seen so far belongs to the event read
    // soonest after it happened, and stands for all of them.
    std::uint32_t TickOf(unsigned long serverTime, std::uint32_t now);

private:
    bool known_ = false;
    std::uint32_t distance_ = 0;
};

}  // namespace tavrik::x11
