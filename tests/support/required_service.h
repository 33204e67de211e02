#pragma once

#include <gtest/gtest.h>

namespace tavrik::test {

// True when the tests run in continuous integration (CI=true), where every
// service a test needs (the X display, the sound server, the system bus) must
// be there: a missing one fails the test instead of skipping it.
bool InContinuousIntegration();

}  // namespace tavrik::test

// Ends the current test when a service it needs is missing: skipped with the
// reason on a developer's machine, failed with it under CI=true. `reason` is
// streamed, e.g. TAVRIK_MISSING_SERVICE("pulseaudio is not installed").
#define TAVRIK_MISSING_SERVICE(reason)                                                      \
    do {                                                                                    \
        if (::tavrik::test::InContinuousIntegration())                                      \
            GTEST_FAIL() << "CI=true and a service this test needs is missing: " << reason; \
        GTEST_SKIP() << reason;                                                             \
    } while (0)
