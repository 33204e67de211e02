#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/required_service.h"

namespace tavrik::test {

// Reads the display of the Xvfb fixture (TAVRIK_X_DISPLAY_FILE, see
// cmake/XvfbFixture.cmake) and points DISPLAY at it.  Without the variable
// (a test program started by hand) an existing DISPLAY is used.  Returns
// false with the reason when there is no display to test on.
bool UseFixtureDisplay(std::string& reason);

}  // namespace tavrik::test

// Skips the current test (fails it under CI=true), with the reason, when
// there is no X display.
#define TAVRIK_REQUIRE_X_DISPLAY()                                                     \
    do {                                                                               \
        std::string tavrik_x_reason;                                                   \
        if (!::tavrik::test::UseFixtureDisplay(tavrik_x_reason))                       \
            TAVRIK_MISSING_SERVICE("no X display for this test: " << tavrik_x_reason); \
    } while (0)
