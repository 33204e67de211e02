#include "platform/ui/x11/x11_event_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tavrik::x11 {
namespace {

struct Read {
    unsigned long serverTime;  // when the event happened, on the server's clock
    std::uint32_t now;         // the tick count when it is read
    std::uint32_t tick;        // the tick count it happened at
};

TEST(ServerTimeClock, EventsReadLateKeepTheirSpacing) {
    struct Case {
        const char* name;
        std::vector<Read> reads;
    };
    const Case cases[] = {
        {"read at once", {{1000, 5000, 5000}, {1700, 5700, 5700}}},
        // Two clicks 700 ms apart, both read 2 s after the second.
        {"read together late", {{1000, 5000, 5000}, {2000, 8000, 6000}, {2700, 8000, 6700}}},
        // The first events came late: a sooner read corrects the distance.
        {"late first", {{1000, 9000, 9000}, {2000, 6000, 6000}, {2500, 6600, 6500}}},
        // Both clocks wrap past 2^32.
        {"wrapping", {{0xFFFFFF00ul, 100, 100}, {0x100ul, 612, 612}}},
    };
    for (const Case& c : cases) {
        ServerTimeClock clock;
        for (const Read& r : c.reads) EXPECT_EQ(clock.TickOf(r.serverTime, r.now), r.tick) << c.name;
    }
}

}  // namespace
}  // namespace tavrik::x11
