#pragma once
// The clock and the waits of the keyboard's light and stream threads. The
// threads take both from one of these, so a test can drive them pass by pass
// with a clock of its own; the program uses SystemTickSource.

#include <cstdint>

#include "platform/os/event.h"
#include "platform/files/win_types.h"

class LightTickSource {
public:
    virtual ~LightTickSource() = default;
    static constexpr uint32_t kPassMs = 1;
    // The wait that begins every pass of a thread (`ms` on the system clock,
    // 1 ms but for a thread whose pass also sleeps). False once the stop
    // event is set: the thread then ends.
    virtual bool WaitPass(win::HANDLE stopEvent, uint32_t ms = kPassMs) = 0;
    // The wait of a thread that runs its passes in a batch: up to `ms`, ended
    // early by the wake event (a change that may give its passes other work).
    // False once the stop event is set.
    virtual bool WaitFrame(win::HANDLE stopEvent, win::HANDLE wakeEvent, uint32_t ms);
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

// Runs the passes a thread with a pass every `passMs` would have run after the
// one at `last`, up to `now`, each given its own time, and moves `last` on.
// A stall is not caught up in a burst: at most `maxPasses`, the latest ones.
// With `atLeastOne`, a wake with no pass due still runs one, at `now`.
template <typename Pass>
void RunElapsedPasses(uint32_t& last, uint32_t now, uint32_t passMs, uint32_t maxPasses, bool atLeastOne, Pass pass) {
    uint32_t due = (now - last) / passMs;
    if (due > maxPasses) {
        due = maxPasses;
        last = now - maxPasses * passMs;
    }
    if (due == 0) {
        if (!atLeastOne) return;
        last = now;
        pass(now);
        return;
    }
    for (uint32_t k = 0; k < due; ++k) {
        last += passMs;
        pass(last);
    }
}

// The loop of a light thread whose passes (one every `passMs`) animate a
// preview, drawn once a frame. While `batched()` holds nothing else looks at
// them between two frames: the thread waits a frame (or until its wake event)
// and then runs the passes that fell due meanwhile; otherwise every pass
// waits its own `passMs`. While `idle()` holds a pass has nothing to do and
// the thread sleeps on its events; the time asleep is no time the passes
// missed. Outside the batching `passWait()` gives the wait before the next
// pass, `passMs` for a pass that does something every time; a longer wait
// ends early on the wake event. Ends once the stop event is set.
inline constexpr uint32_t kPreviewFrameMs = 20;
template <typename Idle, typename Batched, typename Pass, typename PassWait>
void RunLightPasses(LightTickSource& clock, win::HANDLE stopEvent, win::HANDLE wakeEvent, uint32_t passMs, Idle idle,
                    Batched batched, Pass pass, PassWait passWait) {
    // A wake catches up two frames at most.
    const uint32_t maxPasses = 2 * kPreviewFrameMs / passMs;
    uint32_t lastPass = clock.Now();
    // A wake from before the thread looked at anything has nothing to tell it.
    if (wakeEvent) win::ResetEvent(wakeEvent);
    for (;;) {
        const bool batch = batched();
        const uint32_t waitMs = batch ? kPreviewFrameMs : passWait();
        if (!(batch || waitMs > passMs ? clock.WaitFrame(stopEvent, wakeEvent, waitMs)
                                       : clock.WaitPass(stopEvent, passMs)))
            return;
        if (idle()) {
            if (!clock.SleepWhileIdle(stopEvent, wakeEvent, idle)) return;
            lastPass = clock.Now();
            continue;
        }
        const uint32_t now = clock.Now();
        // A change that ended the frame's wait early may have ended the batching too.
        if (batch && batched()) {
            RunElapsedPasses(lastPass, now, passMs, maxPasses, true, pass);
            continue;
        }
        lastPass = now;
        pass(now);
    }
}

template <typename Idle, typename Batched, typename Pass>
void RunLightPasses(LightTickSource& clock, win::HANDLE stopEvent, win::HANDLE wakeEvent, uint32_t passMs, Idle idle,
                    Batched batched, Pass pass) {
    RunLightPasses(clock, stopEvent, wakeEvent, passMs, idle, batched, pass, [passMs] { return passMs; });
}

// The system tick counter and waits on the stop event.
LightTickSource& SystemTickSource();
