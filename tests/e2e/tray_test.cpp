// End to end: the program in the notification area. A test tray docks the
// real Tavrik's icon on the fixture's X display; clicks on it toggle the
// window and open the tray menu, whose "exit" ends the program.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/e2e/child_process.h"
#include "tests/x11/x_display.h"
// X11 last: its macros clash with GoogleTest's names.
#include "tests/x11/tray_manager.h"
#include "tests/x11/x_driver.h"
#include <X11/Xlib.h>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kWindowTitle = "Halvord  Q580-RGB-PRO";
// Where the test tray puts the first icon it docks (its window is at 900, 0;
// icons are 24 x 24 at 4 pixels from its top).
constexpr int kIconX = 900 + 12;
constexpr int kIconY = 4 + 12;

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        driver_ = std::make_unique<XDriver>();
        ASSERT_TRUE(driver_->ok());
        tray_ = std::make_unique<TestTrayManager>();
        ASSERT_TRUE(tray_->ok());
        folder_ = std::filesystem::temp_directory_path() / ("tavrik-tray-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
        socket_ = (folder_ / "devsim.sock").string();
        // An emulator without a plugged device: the program shows its
        // no-device panel.
        const std::string commands = (folder_ / "devsim.in").string();
        std::ofstream(commands) << "unplug mouse\n";
        const std::string answers = (folder_ / "devsim.out").string();
        devsim_ = std::make_unique<ChildProcess>(
            "tavrik-devsim", std::vector<std::string>{"--socket", socket_, "mouse"},
            std::map<std::string, std::string>{}, (folder_ / "devsim.log").string(), commands, answers);
        ASSERT_TRUE(Poll([&] { return ReadTextFile(answers).find("ok") != std::string::npos; }, 10s));
    }

    void TearDown() override {
        tavrik_.reset();
        if (devsim_) devsim_->Stop();
        tray_.reset();
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    bool Poll(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
        return PumpUntil(
            [this] {
                if (tray_) tray_->Pump();
            },
            done, timeout);
    }

    std::string Log() { return ReadTextFile((folder_ / "tavrik.log").string()); }

    // The viewable top-level window at exactly this screen position, or 0.
    Window ViewableWindowAt(int x, int y) {
        Display* d = driver_->display();
        Window root = DefaultRootWindow(d), parent = 0, found = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(d, root, &root, &parent, &children, &count) != 0) {
            for (unsigned i = 0; i < count && found == 0; ++i) {
                int wx = 0, wy = 0, w = 0, h = 0;
                if (driver_->Viewable(children[i]) && driver_->Geometry(children[i], wx, wy, w, h) && wx == x &&
                    wy == y)
                    found = children[i];
            }
        }
        if (children != nullptr) XFree(children);
        return found;
    }

    // The viewable top-level windows with their places, for a failure's message.
    std::string ViewableWindows() {
        Display* d = driver_->display();
        Window root = DefaultRootWindow(d), parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        std::string text;
        if (XQueryTree(d, root, &root, &parent, &children, &count) != 0) {
            for (unsigned i = 0; i < count; ++i) {
                int wx = 0, wy = 0, w = 0, h = 0;
                if (driver_->Viewable(children[i]) && driver_->Geometry(children[i], wx, wy, w, h))
                    text += std::to_string(children[i]) + " at " + std::to_string(wx) + "," + std::to_string(wy) + " " +
                            std::to_string(w) + "x" + std::to_string(h) + "\n";
            }
        }
        if (children != nullptr) XFree(children);
        return text;
    }

    Window FindMainWindow() {
        Display* d = driver_->display();
        Window root = DefaultRootWindow(d), parent = 0, found = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(d, root, &root, &parent, &children, &count) != 0) {
            for (unsigned i = 0; i < count && found == 0; ++i)
                if (driver_->Utf8Property(children[i], "_NET_WM_NAME") == kWindowTitle) found = children[i];
        }
        if (children != nullptr) XFree(children);
        return found;
    }

    std::unique_ptr<XDriver> driver_;
    std::unique_ptr<TestTrayManager> tray_;
    std::filesystem::path folder_;
    std::string socket_;
    std::unique_ptr<ChildProcess> devsim_;
    std::unique_ptr<ChildProcess> tavrik_;
};

TEST_F(TrayTest, IconTogglesTheWindowAndItsMenuEndsTheProgram) {
    tavrik_ = std::make_unique<ChildProcess>(
        "Tavrik", std::vector<std::string>{},
        std::map<std::string, std::string>{{"TAVRIK_HID_BACKEND", "sim"}, {"TAVRIK_DEVSIM_SOCKET", socket_}},
        (folder_ / "tavrik.log").string());
    ASSERT_TRUE(tavrik_->Started());
    Window window = 0;
    ASSERT_TRUE(Poll([&] { return (window = FindMainWindow()) != 0 && driver_->Viewable(window); }, 30s)) << Log();
    ASSERT_TRUE(Poll([&] { return tray_->Docked().size() == 1; }, 10s)) << "the icon did not dock\n" << Log();
    // The docked icon must be mapped before it takes clicks.
    ASSERT_TRUE(Poll([&] { return driver_->Viewable(tray_->Docked().front()); }, 10s));

    // A left click hides the shown window; the next shows it again.
    driver_->Click(kIconX, kIconY);
    EXPECT_TRUE(Poll([&] { return !driver_->Viewable(window); }, 10s)) << Log();
    driver_->Click(kIconX, kIconY);
    EXPECT_TRUE(Poll([&] { return driver_->Viewable(window); }, 10s)) << Log();

    // A right click opens the tray menu at the cursor (the desktop has no
    // taskbar to place it beside), growing right and down.
    driver_->Click(kIconX, kIconY, 3);
    Window menu = 0;
    ASSERT_TRUE(Poll([&] { return (menu = ViewableWindowAt(kIconX, kIconY)) != 0; }, 10s))
        << "shown windows:\n"
        << ViewableWindows() << Log();
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(driver_->Geometry(menu, x, y, width, height));
    // Three rows of 30 pixels inside its border and inset.
    EXPECT_GE(height, 90);

    // "exit", the third row, ends the program with 0.
    driver_->Click(kIconX + 20, kIconY + 1 + 4 + 2 * 30 + 15);
    EXPECT_EQ(tavrik_->Wait(30s), 0) << Log();
}

}  // namespace
}  // namespace tavrik::test
