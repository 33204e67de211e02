#pragma once

// A tick source for the keyboard's light or stream thread that measures the
// thread's own CPU time: it passes every wait on to the system's clock and,
// from inside the thread, reads the thread's CPU clock at most every 50 ms
// (a read on every 1 ms pass would itself be part of the load).

#include <time.h>

#include <atomic>
#include <cstdint>

#include "link/device/light_tick_source.h"

namespace kbbench {

class ThreadCpuTicks : public LightTickSource {
public:
    bool WaitPass(win::HANDLE stop, uint32_t ms) override {
        Sample();
        return SystemTickSource().WaitPass(stop, ms);
    }
    bool Pause(win::HANDLE stop, uint32_t ms) override {
        Sample();
        return SystemTickSource().Pause(stop, ms);
    }
    uint32_t Now() override { return SystemTickSource().Now(); }

    // The thread's CPU time between its first and its latest sample, as a
    // share of one core over the wall time between them.
    double Percent() const {
        const double wall = double(lastWallMs_.load() - firstWallMs_.load()) / 1000.0;
        return wall > 0 ? 100.0 * (lastCpu_.load() - firstCpu_.load()) / wall : 0.0;
    }

private:
    static constexpr uint32_t kSampleEveryMs = 50;

    void Sample() {
        const uint32_t now = SystemTickSource().Now();
        if (started_ && now - lastWallMs_.load() < kSampleEveryMs) return;
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        const double cpu = double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
        if (!started_) {
            firstWallMs_.store(now);
            firstCpu_.store(cpu);
            started_ = true;
        }
        lastWallMs_.store(now);
        lastCpu_.store(cpu);
    }

    bool started_ = false;  // touched by the measured thread only
    std::atomic<uint32_t> firstWallMs_{0};
    std::atomic<uint32_t> lastWallMs_{0};
    std::atomic<double> firstCpu_{0};
    std::atomic<double> lastCpu_{0};
};

}  // namespace kbbench
