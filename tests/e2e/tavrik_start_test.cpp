// End to end: the real Tavrik against a real emulator process, on the
// fixture's X display.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "tests/e2e/child_process.h"
#include "tests/x11/x_display.h"
// X11 last: its macros (None, Status, ...) clash with GoogleTest's names.
#include "tests/x11/x_driver.h"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kWindowTitle = "Halvord  Q580-RGB-PRO";

class TavrikStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        driver_ = std::make_unique<XDriver>();
        ASSERT_TRUE(driver_->ok());
        folder_ =
            std::filesystem::temp_directory_path() / ("tavrik-e2e-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        // The emulator serves only from a folder that is the user's alone.
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
        socket_ = (folder_ / "devsim.sock").string();
        // An emulator whose only device is unplugged before the program
        // starts: the program finds no device.
        const std::string commands = (folder_ / "devsim.in").string();
        { std::ofstream(commands) << "unplug mouse\n"; }
        const std::string answers = (folder_ / "devsim.out").string();
        devsim_ = std::make_unique<ChildProcess>(
            "tavrik-devsim", std::vector<std::string>{"--socket", socket_, "mouse"},
            std::map<std::string, std::string>{}, (folder_ / "devsim.log").string(), commands, answers);
        ASSERT_TRUE(devsim_->Started());
        ASSERT_TRUE(PollFor([&] { return std::filesystem::exists(socket_); }, 10s)) << "the emulator did not start";
        ASSERT_TRUE(PollFor([&] { return ReadTextFile(answers).find("ok") != std::string::npos; }, 10s))
            << "the emulator did not unplug its device";
    }

    void TearDown() override {
        tavrik_.reset();
        if (devsim_) devsim_->Stop();
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    std::unique_ptr<ChildProcess> StartTavrik(const std::string& logName,
                                              const std::map<std::string, std::string>& extra = {}) {
        std::map<std::string, std::string> environment{
            {"TAVRIK_HID_BACKEND", "sim"}, {"TAVRIK_DEVSIM_SOCKET", socket_}, {"TAVRIK_DEBUG", "1"}};
        environment.insert(extra.begin(), extra.end());
        return std::make_unique<ChildProcess>("Tavrik", std::vector<std::string>{}, environment,
                                              (folder_ / logName).string());
    }

    static bool PollFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
        return PumpUntil([] {}, done, timeout);
    }

    // The program's top-level window (by its title), or None.
    Window FindMainWindow() {
        Display* d = driver_->display();
        Window root = DefaultRootWindow(d);
        Window parent = None;
        Window* children = nullptr;
        unsigned count = 0;
        Window found = None;
        if (XQueryTree(d, root, &root, &parent, &children, &count) != 0) {
            for (unsigned i = 0; i < count && found == None; ++i) {
                if (driver_->Utf8Property(children[i], "_NET_WM_NAME") == kWindowTitle) found = children[i];
            }
        }
        if (children != nullptr) XFree(children);
        return found;
    }

    Window WaitForShownWindow(std::chrono::milliseconds timeout = 30s) {
        Window window = None;
        PollFor(
            [&] {
                window = FindMainWindow();
                return window != None && driver_->Viewable(window);
            },
            timeout);
        return window != None && driver_->Viewable(window) ? window : None;
    }

    // What a window manager does to iconify a window: marks it iconic and
    // unmaps it.
    void Iconify(Window window) {
        Display* d = driver_->display();
        const Atom wmState = XInternAtom(d, "WM_STATE", False);
        long state[2] = {IconicState, None};
        XChangeProperty(d, window, wmState, wmState, 32, PropModeReplace, reinterpret_cast<unsigned char*>(state), 2);
        XUnmapWindow(d, window);
        XFlush(d);
    }

    // The window manager's close button.
    void RequestClose(Window window) { driver_->RequestClose(window); }

    std::string Log(const std::string& name) { return ReadTextFile((folder_ / name).string()); }

    std::unique_ptr<XDriver> driver_;
    std::filesystem::path folder_;
    std::string socket_;
    std::unique_ptr<ChildProcess> devsim_;
    std::unique_ptr<ChildProcess> tavrik_;
};

TEST_F(TavrikStartTest, ShowsTheNoDevicePanelAndEndsWithZeroOnAWindowManagerClose) {
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    const Window window = WaitForShownWindow();
    ASSERT_NE(window, None) << Log("tavrik.log");
    EXPECT_TRUE(
        PollFor([&] { return Log("tavrik.log").find("RaiseWindow: no-device panel shown") != std::string::npos; }, 10s))
        << Log("tavrik.log");
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(driver_->Geometry(window, x, y, width, height));
    // The fit to the screen: 1000 x 640 at 96 DPI, centred on the 1280 x 1024 screen.
    EXPECT_TRUE(
        PollFor([&] { return driver_->Geometry(window, x, y, width, height) && width == 1000 && height == 640; }, 10s))
        << width << " x " << height;
    EXPECT_EQ(x, (1280 - 1000) / 2);
    EXPECT_EQ(y, (1024 - 640) / 2);
    std::filesystem::create_directories(TAVRIK_E2E_SHOTS);
    EXPECT_TRUE(SaveScreenshot(std::string(TAVRIK_E2E_SHOTS) + "/main_window_no_device.png"));

    RequestClose(window);
    EXPECT_EQ(tavrik_->Wait(30s), 0) << Log("tavrik.log");
}

TEST_F(TavrikStartTest, ASecondStartEndsWithZeroAndRaisesTheIconifiedFirst) {
    tavrik_ = StartTavrik("first.log");
    const Window window = WaitForShownWindow();
    ASSERT_NE(window, None) << Log("first.log");
    Iconify(window);
    ASSERT_TRUE(PollFor([&] { return !driver_->Viewable(window); }, 10s));

    ChildProcess second("Tavrik", {}, {{"TAVRIK_HID_BACKEND", "sim"}, {"TAVRIK_DEVSIM_SOCKET", socket_}},
                        (folder_ / "second.log").string());
    EXPECT_EQ(second.Wait(30s), 0) << Log("second.log");
    EXPECT_TRUE(PollFor([&] { return driver_->Viewable(window); }, 10s)) << Log("first.log");
    // Still one window of that title.
    EXPECT_EQ(FindMainWindow(), window);

    RequestClose(window);
    EXPECT_EQ(tavrik_->Wait(30s), 0) << Log("first.log");
}

// The window is drawn before it is first mapped: when the map is seen, the
// window already lists its laid-out controls and shows a picture, not the
// empty (one- or two-coloured) area of a window nobody has drawn on yet.
TEST_F(TavrikStartTest, TheWindowIsPaintedWhenItIsFirstMapped) {
    std::unique_ptr<Display, int (*)(Display*)> watcher(XOpenDisplay(nullptr), &XCloseDisplay);
    ASSERT_NE(watcher, nullptr);
    Display* d = watcher.get();
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    tavrik_ = StartTavrik("tavrik.log", {{"TAVRIK_UI_PROBE", "1"}});
    ASSERT_TRUE(tavrik_->Started());
    // The first map of the main window (the tray icon's small window carries
    // the same title).
    Window window = None;
    int width = 0, height = 0;
    PollFor(
        [&] {
            while (window == None && XPending(d) > 0) {
                XEvent e;
                XNextEvent(d, &e);
                if (e.type != MapNotify || driver_->Utf8Property(e.xmap.window, "_NET_WM_NAME") != kWindowTitle)
                    continue;
                XWindowAttributes attributes{};
                if (XGetWindowAttributes(d, e.xmap.window, &attributes) != 0 && attributes.width >= 400) {
                    window = e.xmap.window;
                    width = attributes.width;
                    height = attributes.height;
                }
            }
            return window != None;
        },
        30s);
    ASSERT_NE(window, None) << Log("tavrik.log");
    // Looked at before this test serves anything else.
    XImage* image =
        XGetImage(d, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
    const std::string probe = driver_->Utf8Property(window, "_TAVRIK_UI_PROBE");
    ASSERT_NE(image, nullptr);
    std::set<unsigned long> colours;
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x < width; x += 2) colours.insert(XGetPixel(image, x, y));
    XDestroyImage(image);
    EXPECT_GE(colours.size(), 16u) << "mapped blank";
    EXPECT_FALSE(probe.empty()) << "mapped before it was laid out";

    RequestClose(window);
    EXPECT_EQ(tavrik_->Wait(30s), 0) << Log("tavrik.log");
}

// Pictures and videos are read through a plug-in loaded on first use: the
// program itself needs no OpenCV library, and a shown window has none loaded.
TEST_F(TavrikStartTest, NeedsAndLoadsNoPictureCodecsToShowItsWindow) {
    const std::string program = ProgramFolder() + "Tavrik";
    std::string needed;
    {
        std::unique_ptr<FILE, int (*)(FILE*)> ldd(::popen(("ldd '" + program + "' 2>&1").c_str(), "r"), &::pclose);
        ASSERT_NE(ldd, nullptr);
        char line[512];
        while (std::fgets(line, sizeof line, ldd.get()) != nullptr) needed += line;
    }
    ASSERT_NE(needed.find("libc.so"), std::string::npos) << needed;
    EXPECT_EQ(needed.find("opencv"), std::string::npos) << needed;
    EXPECT_TRUE(std::filesystem::is_regular_file(ProgramFolder() + "tavrik_screen_media.so"));

    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    const Window window = WaitForShownWindow();
    ASSERT_NE(window, None) << Log("tavrik.log");
    const std::string maps = ReadTextFile("/proc/" + std::to_string(tavrik_->Pid()) + "/maps");
    ASSERT_NE(maps.find("Tavrik"), std::string::npos);
    EXPECT_EQ(maps.find("opencv"), std::string::npos);
    EXPECT_EQ(maps.find("tavrik_screen_media"), std::string::npos);

    RequestClose(window);
    EXPECT_EQ(tavrik_->Wait(30s), 0) << Log("tavrik.log");
}

TEST(TavrikWithoutDisplay, SaysSoInOneLineAndEndsWithZero) {
    const std::filesystem::path log =
        std::filesystem::temp_directory_path() / ("tavrik-e2e-nodisplay-" + std::to_string(::getpid()) + ".log");
    ChildProcess tavrik("Tavrik", {}, {{"DISPLAY", ""}}, log.string());
    ASSERT_TRUE(tavrik.Started());
    EXPECT_EQ(tavrik.Wait(30s), 0);
    const std::string text = ReadTextFile(log.string());
    std::error_code error;
    std::filesystem::remove(log, error);
    // The one line about the display (other start-up notes may precede it).
    const size_t at = text.find("Tavrik needs an X display");
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find("Tavrik needs an X display", at + 1), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
}

}  // namespace
}  // namespace tavrik::test
