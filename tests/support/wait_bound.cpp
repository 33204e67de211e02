
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/wait_bound.h"

#ifndef TAVRIK_TEST_TIME_SCALE
#define TAVRIK_TEST_TIME_SCALE 1
#endif

namespace tavrik::test {

double TimeScale() {
    static const double scale = [] {
        if (const char* text = std::getenv("TAVRIK_TEST_TIME_SCALE"); text != nullptr && *text != '\0') {
            char* end = nullptr;
            const double value = std::strtod(text, &end);
            if (end != text && *end == '\0' && value >= 1) return value;
        }
        return static_cast<double>(TAVRIK_TEST_TIME_SCALE);
    }();
    return scale;
}

std::chrono::milliseconds WaitBound(std::chrono::milliseconds bound) {
    return std::chrono::milliseconds(std::llround(static_cast<double>(bound.count()) * TimeScale()));
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound, std::chrono::milliseconds step) {
    const auto end = Deadline(bound);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(step);
    }
}

int WaitBoundMs(int boundMs) { return static_cast<int>(WaitBound(std::chrono::milliseconds(boundMs)).count()); }

}  // namespace tavrik::test
