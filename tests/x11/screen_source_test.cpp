#include <gtest/gtest.h>

#include <thread>

#include "platform/screen/screen_source.h"
#include "platform/screen/synthetic_screen_source.h"

namespace tavrik::screen {
namespace {

TEST(ScreenAverage, ChannelsAreTruncatedMeansPackedRedLow) {
    struct Case {
        std::vector<std::uint32_t> pixels;
        std::uint32_t expected;
    } cases[] = {
        {{}, 0u},
        {{0x112233}, 0x332211u},
        // (255 + 0) / 2 = 127 truncated; green (1 + 2) / 2 = 1.
        {{0xFF0100, 0x000201}, 0x00017Fu},
        {{0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, 0xFFFFFFu},
    };
    for (const Case& c : cases) EXPECT_EQ(AverageColour(c.pixels), c.expected);
}

TEST(ScreenAverage, CentreSquareOfSyntheticScreen) {
    SyntheticScreenSource screen(1920, 1080, 0x000000);
    // The square is from (910, 490) to (1009, 589).
    screen.FillRect(910, 490, 100, 100, 0x204080);
    EXPECT_EQ(CaptureScreenCentreColour(screen), 0x804020u);
    // Half the square turned black halves each channel.
    screen.FillRect(910, 490, 50, 100, 0x000000);
    EXPECT_EQ(CaptureScreenCentreColour(screen), 0x402010u);
    // A colour outside the square does not count.
    screen.Fill(0);
    screen.FillRect(0, 0, 910, 1080, 0xFFFFFF);
    screen.FillRect(1010, 0, 910, 1080, 0xFFFFFF);
    EXPECT_EQ(CaptureScreenCentreColour(screen), 0u);
}

TEST(ScreenAverage, RectanglePartlyOffScreenCountsOutsideAsBlack) {
    SyntheticScreenSource screen(100, 100, 0xC8C8C8);
    // A quarter of the 20 x 20 rectangle lies on the screen.
    EXPECT_EQ(CaptureAverageColour(screen, 90, 90, 20, 20), 0x323232u);
    EXPECT_EQ(CaptureAverageColour(screen, 200, 200, 10, 10), 0u);
}

TEST(ScreenAverage, FailingOrEmptyCaptureGivesBlack) {
    SyntheticScreenSource screen(64, 64, 0xFFFFFF);
    EXPECT_EQ(CaptureAverageColour(screen, 0, 0, 0, 10), 0u);
    screen.SetFailing(true);
    EXPECT_EQ(CaptureScreenCentreColour(screen), 0u);
    screen.SetFailing(false);
    EXPECT_EQ(CaptureAverageColour(screen, 0, 0, 8, 8), 0xFFFFFFu);
}

TEST(ScreenSourceRegistry, InstalledSourceIsSharedAcrossThreads) {
    auto screen = std::make_shared<SyntheticScreenSource>(200, 200, 0x0000FF);
    SetScreenSource(screen);
    std::uint32_t seen = 0;
    std::thread worker([&] { seen = CaptureScreenCentreColour(*CurrentScreenSource()); });
    worker.join();
    EXPECT_EQ(seen, 0xFF0000u);
    EXPECT_EQ(screen->CaptureCount(), 1);
    SetScreenSource(nullptr);
    EXPECT_NE(CurrentScreenSource().get(), screen.get());
}

}  // namespace
}  // namespace tavrik::screen
