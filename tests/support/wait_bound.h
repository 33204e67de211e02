#pragma once

#include <chrono>
#include <functional>

namespace tavrik::test {

// The factor every wait bound of the suite is multiplied by: the build's
// TAVRIK_TEST_TIME_SCALE (raised for the sanitized build), or the variable of
// that name in the environment. One factor for the whole suite, so that no
// single test's number is raised to get it through a slow run.
double TimeScale();

// A bound that exists only to end a hung run, scaled by TimeScale(). Waits
// still end as soon as their event comes.
std::chrono::milliseconds WaitBound(std::chrono::milliseconds bound);
int WaitBoundMs(int boundMs);

// The point in time a wait of `bound` (scaled) gives up.
inline std::chrono::steady_clock::time_point Deadline(std::chrono::milliseconds bound) {
    return std::chrono::steady_clock::now() + WaitBound(bound);
}

// Looks at `done` every `step` until it holds or `bound` (scaled) has passed;
// true when it held.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound,
               std::chrono::milliseconds step = std::chrono::milliseconds(5));

}  // namespace tavrik::test
