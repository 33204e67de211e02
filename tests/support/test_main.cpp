#include <gtest/gtest.h>

#include "tests/support/temp_home.h"

// Every test process runs inside its own temporary home, so even a test that
// forgets to ask for one never touches the real user's settings.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tavrik::test::TempHome home;
    return RUN_ALL_TESTS();
}
