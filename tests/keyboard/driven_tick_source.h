#pragma once
// A clock for the keyboard's light and stream threads that the test drives:
// the thread waits at the start of every pass until the test lets one pass
// run, pauses return at once (and are recorded), and the time moves only
// when the test moves it. A sleep on the thread's events is real: only the
// wake (or the stop) ends it.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "link/device/light_tick_source.h"
#include "platform/os/event.h"
#include "platform/os/handle.h"
#include "tests/support/wait_bound.h"

namespace kbtest {

class DrivenTickSource : public LightTickSource {
public:
    DrivenTickSource() : grant_(win::CreateEventW(nullptr, win::FALSE, win::FALSE, nullptr)) {}
    ~DrivenTickSource() override { win::CloseHandle(grant_); }

    bool WaitPass(win::HANDLE stopEvent, uint32_t ms) override { return Wait(stopEvent, nullptr, ms); }
    // A frame's wait ends like a pass's, by the test's grant; the wake event
    // ends it too once the test asks for that (EndFramesOnWake).
    bool WaitFrame(win::HANDLE stopEvent, win::HANDLE wakeEvent, uint32_t ms) override {
        return Wait(stopEvent, framesEndOnWake_.load() ? wakeEvent : nullptr, ms);
    }
    bool Sleep(win::HANDLE stopEvent, win::HANDLE wakeEvent) override {
        Park(asleep_);
        const bool woken = LightTickSource::Sleep(stopEvent, wakeEvent);
        Unpark(asleep_);
        return woken;
    }
    bool Pause(win::HANDLE stopEvent, uint32_t ms) override {
        {
            std::lock_guard lock(mutex_);
            pauses_.push_back(ms);
        }
        return !stopEvent || win::WaitForSingleObject(stopEvent, 0) == win::WAIT_TIMEOUT;
    }
    uint32_t Now() override { return now_.load(); }
    // How many passes the thread has begun (waits for a pass included).
    uint64_t Passes() const { return passes_.load(); }
    // The time-out of every wait for a pass or a frame, in order.
    std::vector<uint32_t> Waits() {
        std::lock_guard lock(mutex_);
        return waits_;
    }
    void EndFramesOnWake(bool end) { framesEndOnWake_.store(end); }
    // Whether the thread has begun more than `waits` waits and waits now,
    // after waiting (bounded) for it to get there.
    bool WaitingAfter(size_t waits) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, tavrik::test::WaitBound(kLimit),
                                 [&] { return waiting_ && waits_.size() > waits; });
    }

    void Advance(uint32_t ms) { now_.fetch_add(ms); }

    // Lets the thread run `n` passes, each time advancing the clock by
    // `advanceMs` first, and returns when the thread waits for the next pass
    // or sleeps on its events.
    void RunPasses(int n, uint32_t advanceMs = 0) {
        for (int i = 0; i < n; ++i) {
            std::unique_lock lock(mutex_);
            ASSERT_TRUE(changed_.wait_for(lock, tavrik::test::WaitBound(kLimit), [&] { return waiting_; }))
                << "the thread never waited";
            const uint64_t before = parked_;
            Advance(advanceMs);
            win::SetEvent(grant_);
            ASSERT_TRUE(changed_.wait_for(lock, tavrik::test::WaitBound(kLimit), [&] { return parked_ > before; }))
                << "pass " << i;
        }
    }
    // Whether the thread now sleeps on its events, after waiting (bounded)
    // for it to get there.
    bool Asleep() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, tavrik::test::WaitBound(kLimit), [&] { return asleep_; });
    }
    bool AsleepNow() {
        std::lock_guard lock(mutex_);
        return asleep_;
    }
    std::vector<uint32_t> Pauses() {
        std::lock_guard lock(mutex_);
        return pauses_;
    }

private:
    static constexpr std::chrono::seconds kLimit{20};
    bool Wait(win::HANDLE stopEvent, win::HANDLE wakeEvent, uint32_t ms) {
        passes_.fetch_add(1);
        {
            std::lock_guard lock(mutex_);
            waits_.push_back(ms);
        }
        Park(waiting_);
        // The stop event comes first: a stop wins over a granted pass.
        const win::HANDLE objects[3] = {stopEvent, grant_, wakeEvent};
        const win::DWORD result = win::WaitForMultipleObjects(wakeEvent ? 3 : 2, objects, win::FALSE, win::INFINITE);
        Unpark(waiting_);
        return result == win::WAIT_OBJECT_0 + 1 || result == win::WAIT_OBJECT_0 + 2;
    }
    win::HANDLE grant_;
    std::atomic<uint32_t> now_{1000};
    std::atomic<uint64_t> passes_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    // Every wait for a pass and every sleep parks the thread once.
    void Park(bool& state) {
        {
            std::lock_guard lock(mutex_);
            state = true;
            ++parked_;
        }
        changed_.notify_all();
    }
    void Unpark(bool& state) {
        std::lock_guard lock(mutex_);
        state = false;
    }
    uint64_t parked_ = 0;
    bool waiting_ = false;
    bool asleep_ = false;
    std::vector<uint32_t> pauses_;
    std::vector<uint32_t> waits_;
    std::atomic<bool> framesEndOnWake_{false};
};

}  // namespace kbtest
