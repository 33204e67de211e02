#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

#include "platform/screen/screen_source.h"
#include "platform/screen/x11_screen_source.h"
#include "tests/x11/x_display.h"

namespace tavrik::screen {
namespace {

// An override-redirect window of one colour, mapped and drawn.
class ColourWindow {
public:
    ColourWindow(Display* d, int x, int y, int w, int h, unsigned long rgb) : d_(d) {
        XSetWindowAttributes a{};
        a.override_redirect = True;
        a.background_pixel = rgb;  // TrueColor 24-bit: the pixel is the colour
        win_ = XCreateWindow(d_, DefaultRootWindow(d_), x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                             CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
        XMapRaised(d_, win_);
        XClearWindow(d_, win_);
        XSync(d_, False);
    }
    ~ColourWindow() {
        XDestroyWindow(d_, win_);
        XSync(d_, False);
    }

private:
    Display* d_;
    Window win_;
};

class X11ScreenSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        std::string error;
        source_ = OpenX11ScreenSource({}, &error);
        ASSERT_NE(source_, nullptr) << error;
    }
    void TearDown() override {
        source_.reset();
        if (display_) XCloseDisplay(display_);
    }

    // The server draws asynchronously to our second connection: wait a
    // little for the colour instead of trusting one read.
    std::uint32_t CentreWhenSettled(std::uint32_t expected) {
        std::uint32_t c = 0;
        for (int i = 0; i < 200; ++i) {
            c = CaptureScreenCentreColour(*source_);
            if (c == expected) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return c;
    }

    Display* display_ = nullptr;
    std::unique_ptr<ScreenSource> source_;
};

TEST_F(X11ScreenSourceTest, SizeIsTheRootWindow) {
    const ScreenSize size = source_->Size();
    EXPECT_EQ(size.width, DisplayWidth(display_, DefaultScreen(display_)));
    EXPECT_EQ(size.height, DisplayHeight(display_, DefaultScreen(display_)));
}

TEST_F(X11ScreenSourceTest, CentreSampleReadsTheWindowPlacedThere) {
    const ScreenSize size = source_->Size();
    ASSERT_GT(size.width, 200);
    // Local server: the shared-memory path is the one under test.
    EXPECT_TRUE(UsesSharedMemory(*source_));
    {
        ColourWindow red(display_, size.width / 2 - 80, size.height / 2 - 80, 160, 160, 0xC81E0A);
        EXPECT_EQ(CentreWhenSettled(0x0A1EC8), 0x0A1EC8u);  // R | G << 8 | B << 16
    }
    {
        // Left half one colour, right half another: the mean of both.
        ColourWindow left(display_, size.width / 2 - 50, size.height / 2 - 50, 50, 100, 0x000000);
        ColourWindow right(display_, size.width / 2, size.height / 2 - 50, 50, 100, 0x64C8FA);
        EXPECT_EQ(CentreWhenSettled(0x7D6432), 0x7D6432u);
    }
}

TEST_F(X11ScreenSourceTest, CaptureOverTheScreenEdgeReadsBlackOutside) {
    const ScreenSize size = source_->Size();
    ColourWindow corner(display_, size.width - 10, size.height - 10, 10, 10, 0xFFFFFF);
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(source_->Capture(size.width - 10, size.height - 10, 20, 20, pixels));
        if (pixels[0] == 0xFFFFFF) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(pixels.size(), 400u);
    EXPECT_EQ(pixels[0], 0xFFFFFFu);
    EXPECT_EQ(pixels[9 * 20 + 9], 0xFFFFFFu);
    EXPECT_EQ(pixels[10], 0u);
    EXPECT_EQ(pixels[10 * 20], 0u);
    // Different sizes one after the other re-create the shared image.
    EXPECT_TRUE(source_->Capture(0, 0, 7, 3, pixels));
    EXPECT_EQ(pixels.size(), 21u);
}

TEST(X11ScreenSourceOpen, UnreachableDisplayIsReportedNotFatal) {
    std::string error;
    auto source = OpenX11ScreenSource(":987", &error);
    EXPECT_EQ(source, nullptr);
    EXPECT_NE(error.find(":987"), std::string::npos);
}

}  // namespace
}  // namespace tavrik::screen
