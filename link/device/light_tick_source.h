#pragma once
// The clock and the waits of the keyboard's light and stream threads. The
// threads take both from one of these, so a test can drive them pass by pass
// with a clock of its own; the program uses SystemTickSource.

#include <cstdint>

#include "platform/os/event.h"
#include "platform/os/win_types.h"

class LightTickSource {
public:
    virtual ~LightTickSource() = default;
    static constexpr uint32_t kPassMs = 1;
    // The wait that begins every pass of a thread (`ms` on the system clock,
    // 1 ms but for a thread whose pass also sleeps). False once the stop
    // event is set: the thread then ends.
    virtual bool WaitPass(win::HANDLE stopEvent, uint32_t ms = kPassMs) = 0;
    // A pause inside a pass; false when the stop event ended it.
    virtual bool Pause(win::HANDLE stopEvent, uint32_t ms) = 0;
    // Milliseconds of a free-running 32-bit clock (compare by unsigned difference).
    virtual uint32_t Now() = 0;
    // Sleeps without a time-out until the wake or the stop event is set: for a
    // thread whose pass has nothing to do. False once the stop event is set.
    virtual bool Sleep(win::HANDLE stopEvent, win::HANDLE wakeEvent);
    // Sleeps while `idle()` holds. A wake that came before the thread looked
    // is dropped first and the condition looked at again, so no change is
    // missed and no stale wake costs a pass. False once the stop event is set.
    template <typename Idle>
    bool SleepWhileIdle(win::HANDLE stopEvent, win::HANDLE wakeEvent, Idle idle) {
        win::ResetEvent(wakeEvent);
        return !idle() || Sleep(stopEvent, wakeEvent);
    }
};

// The system tick counter and waits on the stop event.
LightTickSource& SystemTickSource();
