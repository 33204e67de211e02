#include "platform/ui/x11/x11_event_time.h"

namespace tavrik::x11 {

std::uint32_t ServerTimeClock::TickOf(unsigned long serverTime, std::uint32_t now) {
    // Both clocks wrap at 32 bits: distances compare as signed differences.
    const auto stamp = static_cast<std::uint32_t>(serverTime);
    const std::uint32_t distance = now - stamp;
    if (!known_ || static_cast<std::int32_t>(distance - distance_) < 0) {
        distance_ = distance;
        known_ = true;
    }
    return stamp + distance_;
}

}  // namespace tavrik::x11
