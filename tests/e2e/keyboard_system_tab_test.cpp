// End to end: the real Tavrik against the emulated keyboard in its own
// process. "Lock the Win key" ticked on the keyboard's system tab goes out in
// the next parameter block and is still shown after a restart; the music
// styles window opens from the lighting page in the music mode.

#include <algorithm>
#include "tests/e2e/tavrik_session.h"
#include "tests/e2e/emulator_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

constexpr uint8_t kWriteParams = 0x06;
// The block's Win-lock byte, after the report's 8 header bytes.
constexpr size_t kWinFlagByte = 8 + 21;
// The skin's colour of a selected option of the system tab.
constexpr unsigned long kSelectedColor = 0x2F8FFF;

class KeyboardSystemTabTest : public TavrikSession {
protected:
    std::vector<std::vector<uint8_t>> Reports() {
        return CommandReports(EmulatorCommand("record keyboard"), "keyboard");
    }

    // Whether the option's indicator (the box at its left end) is filled with
    // the selected colour: a ticked box is, an empty one shows only its frame.
    bool IndicatorFilled(const ProbeControl& c) {
        Display* d = driver_->display();
        XSync(d, False);
        const int width = std::min(24, c.right - c.left);
        const int height = c.bottom - c.top;
        if (width <= 0 || height <= 0) return false;
        XImage* image = XGetImage(d, DefaultRootWindow(d), c.left, c.top, width, height, AllPlanes, ZPixmap);
        if (image == nullptr) return false;
        bool filled = false;
        for (int y = 0; y < height && !filled; ++y)
            for (int x = 0; x < width && !filled; ++x) filled = (XGetPixel(image, x, y) & 0xFFFFFF) == kSelectedColor;
        XDestroyImage(image);
        return filled;
    }

    // Opens the system tab once the keyboard has connected (its first block
    // write) and waits until "Lock the Win key" shows `selected`.
    bool ShowsWinLock(bool selected) {
        if (!Poll([&] { return FindBracketed(Reports(), kWriteParams).has_value(); }, 30s)) return false;
        if (!Click("system_Op_tab")) return false;
        driver_->MoveTo(5, 5);
        return Poll(
            [&] {
                const auto option = FindProbeControl(*driver_, "winlockflag_option");
                return option && option->right > option->left && IndicatorFilled(*option) == selected;
            },
            30s);
    }
};

TEST_F(KeyboardSystemTabTest, TheWinLockGoesOutInTheNextBlockAndStaysAfterARestart) {
    StartEmulator({"keyboard"});
    tavrik_ = StartTavrik("first.log");
    ASSERT_TRUE(tavrik_->Started());
    const Window main = WaitForShownWindow();
    ASSERT_NE(main, 0u) << Log("first.log");
    ASSERT_TRUE(ShowsWinLock(false)) << Log("first.log");

    EmulatorCommand("clear keyboard");
    ASSERT_TRUE(Click("winlockflag_option")) << Log("first.log");
    driver_->MoveTo(5, 5);
    std::vector<std::vector<uint8_t>> reports;
    std::optional<size_t> write;
    ASSERT_TRUE(Poll(
        [&] {
            reports = Reports();
            write = FindBracketed(reports, kWriteParams);
            return write.has_value();
        },
        30s))
        << Log("first.log");
    EXPECT_EQ(reports[*write][kWinFlagByte], 1);
    EXPECT_TRUE(ChecksumValid(reports[*write]));

    driver_->RequestClose(main);
    ASSERT_EQ(tavrik_->Wait(30s), 0) << Log("first.log");
    EmulatorCommand("clear keyboard");

    tavrik_ = StartTavrik("second.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("second.log");
    if (!ShowsWinLock(true)) Screenshot("win_lock_after_restart");
    EXPECT_TRUE(ShowsWinLock(true)) << Log("second.log");
}

TEST_F(KeyboardSystemTabTest, TheMusicStylesWindowOpensFromTheLightingPage) {
    StartEmulator({"keyboard"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl("light_combo_modeSelect", [](const ProbeControl& c) { return !c.text.empty(); }))
        << Log("tavrik.log");

    // The keyboard switches itself to the music mode; the page follows and
    // shows the music controls with the button.
    ASSERT_EQ(EmulatorCommand("light keyboard 21 4 2"), std::vector<std::string>{"ok"});
    ASSERT_TRUE(WaitForControl("music_setting_btn", [](const ProbeControl& c) { return c.right > c.left; }))
        << Log("tavrik.log");
    ASSERT_TRUE(Click("music_setting_btn")) << Log("tavrik.log");
    const auto slider = WaitForControl("audio_r_slider");
    if (!slider) Screenshot("music_styles_window");
    ASSERT_TRUE(slider) << Log("tavrik.log");
    ASSERT_TRUE(Click("okbtn")) << Log("tavrik.log");
    EXPECT_TRUE(Poll([&] { return !FindProbeControl(*driver_, "audio_r_slider"); }, 30s));
}

}  // namespace
}  // namespace tavrik::test
