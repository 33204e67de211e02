// Keeps a picture of the screen for every display test that fails, named
// after the test, in the test's working folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>

#include "tests/x11/x_driver.h"

namespace tavrik::test {
namespace {

class ScreenshotOnFailure : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo& info) override {
        if (!info.result()->Failed() || !std::getenv("DISPLAY")) return;
        const std::string path = std::string(info.test_suite_name()) + "." + info.name() + ".png";
        if (SaveScreenshot(path)) std::fprintf(stderr, "screen saved as %s\n", path.c_str());
    }
};

const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
    return true;
}();

}  // namespace
}  // namespace tavrik::test
