// End to end on a 1920 x 1080 display, where the main window is fitted at
// scale 1.5 (1500 x 960): its content is laid out at that size, not at the
// 1000 x 640 it passes through on the way. The UI probe's root spans the
// whole client, and no band of the window is left unpainted.

#include "tests/e2e/tavrik_session.h"

#include <X11/Xutil.h>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

constexpr int kFittedWidth = 1500;
constexpr int kFittedHeight = 960;

class WindowSizeTest : public TavrikSession {
protected:
    // Pixels of the window's right and bottom bands (beyond the 1000 x 640
    // of the small layout) that are plain white: what the window shows where
    // no control painted.
    int WhiteInOuterBands(Window main) {
        XImage* image = XGetImage(driver_->display(), main, 0, 0, kFittedWidth, kFittedHeight, AllPlanes, ZPixmap);
        if (!image) return -1;
        int white = 0;
        for (int y = 0; y < kFittedHeight; y += 4)
            for (int x = 0; x < kFittedWidth; x += 4)
                if ((x >= 1000 || y >= 640) && (XGetPixel(image, x, y) & 0xFFFFFF) == 0xFFFFFF) ++white;
        XDestroyImage(image);
        return white;
    }
};

TEST_F(WindowSizeTest, TheContentIsLaidOutAtTheFittedSize) {
    int screenWidth = DisplayWidth(driver_->display(), DefaultScreen(driver_->display()));
    int screenHeight = DisplayHeight(driver_->display(), DefaultScreen(driver_->display()));
    ASSERT_EQ(screenWidth, 1920);
    ASSERT_EQ(screenHeight, 1080);
    StartEmulator({"keyboard", "mouse"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    const Window main = WaitForShownWindow();
    ASSERT_NE(main, 0u) << Log("tavrik.log");

    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(Poll(
        [&] {
            return driver_->Geometry(main, x, y, width, height) && width == kFittedWidth && height == kFittedHeight;
        },
        30s))
        << width << " x " << height;
    // The layout follows: the root spans the client.
    std::optional<ProbeControl> root;
    const bool spans = Poll(
        [&] {
            root.reset();
            // The window is centred after it takes its size.
            driver_->Geometry(main, x, y, width, height);
            for (const ProbeControl& c : Probe())
                if (c.name == "root") root = c;
            return root && root->left == x && root->top == y && root->right - root->left == kFittedWidth &&
                   root->bottom - root->top == kFittedHeight;
        },
        30s);
    if (!spans) Screenshot("window_size_layout");
    ASSERT_TRUE(spans) << "root "
                       << (root ? std::to_string(root->left) + "," + std::to_string(root->top) + " " +
                                      std::to_string(root->right - root->left) + " x " +
                                      std::to_string(root->bottom - root->top)
                                : std::string("not listed"))
                       << " in a window at " << x << "," << y << " of " << width << " x " << height << "\n"
                       << Log("tavrik.log");
    // Devices arriving and their pages connecting leave it so.
    ASSERT_TRUE(WaitForControl("keyboard_device_page")) << Log("tavrik.log");
    const std::optional<ProbeControl> page = WaitForControl("device_switch");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->right - x, kFittedWidth) << "the device pages end short of the window's right edge";
    const int white = WhiteInOuterBands(main);
    EXPECT_LT(white, 100) << white << " white sample points right of x 1000 or below y 640";
    if (HasFailure()) Screenshot("window_size_band");
}

}  // namespace
}  // namespace tavrik::test
