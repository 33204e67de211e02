// The firmware question of the real program on the X server: WM_FIRMWARE_CHECK
// comes from tavrik-post, the answer is clicked in the message box. The
// program runs from a folder of its own (a hard link of the built program
// beside links to its skin and defaults) so that each case has its own
// "Update" folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/e2e/child_process.h"
#include "tests/x11/tray_manager.h"
#include "tests/x11/x_display.h"
// X11 last: its macros clash with GoogleTest's names.
#include "tests/x11/x_driver.h"
#include <X11/Xlib.h>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kMainTitle = "Halvord  Q580-RGB-PRO";

class FirmwareProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        driver_ = std::make_unique<XDriver>();
        ASSERT_TRUE(driver_->ok());
        driver_->MoveTo(5, 1015);
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = fs::path(TAVRIK_BIN_DIR).parent_path() / ("firmware-test-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        const fs::path bin = TAVRIK_BIN_DIR;
        fs::create_hard_link(bin / "Tavrik", folder_ / "Tavrik");
        for (const char* entry : {"skin", "DefaultData", "libcvn_CrashDump.so"}) {
            if (fs::exists(bin / entry)) fs::create_symlink(bin / entry, folder_ / entry);
        }
    }

    void TearDown() override {
        if (tavrik_) tavrik_->Stop();
        tavrik_.reset();
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    // A script at the keyboard updater's place that records its arguments
    // and its working folder.
    fs::path InstallRecordingUpdater() {
        fs::create_directories(folder_ / "Update");
        const fs::path script = folder_ / "Update" / "tavrik-keyboard-updater";
        const fs::path record = folder_ / "updater.txt";
        std::ofstream(script) << "#!/bin/sh\n{ for a in \"$@\"; do echo \"arg:$a\"; done; echo \"pwd:$(pwd)\"; } > '"
                              << record.string() << ".tmp' && mv '" << record.string() << ".tmp' '" << record.string()
                              << "'\n";
        fs::permissions(script, fs::perms::owner_all);
        return record;
    }

    void StartTavrik() {
        tavrik_ = std::make_unique<ChildProcess>(
            "../" + folder_.filename().string() + "/Tavrik", std::vector<std::string>{},
            std::map<std::string, std::string>{{"TAVRIK_HID_BACKEND", "sim"},
                                               {"TAVRIK_DEVSIM_SOCKET", (folder_ / "no-devsim.sock").string()},
                                               {"TAVRIK_DEBUG", "1"}},
            Log());
        ASSERT_TRUE(tavrik_->Started());
    }

    std::string Log() const { return (folder_ / "tavrik.log").string(); }
    std::string LogText() const { return ReadTextFile(Log()); }

    std::vector<Window> WindowsTitled(const std::string& title) { return driver_->ViewableTopLevel(title); }

    bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 30s) {
        return PumpUntil(
            [this] {
                if (tray_) tray_->Pump();
            },
            done, timeout);
    }

    // Posts WM_FIRMWARE_CHECK; `send` waits until the program has handled it.
    int Post(int productId, int version, bool send = false) {
        std::vector<std::string> args{"--title",   kMainTitle,
                                      "--message", "0xD05",
                                      "--wparam",  std::to_string(productId),
                                      "--lparam",  std::to_string(version)};
        if (send) args.push_back("--send");
        ChildProcess post("tavrik-post", args, {}, (folder_ / "post.log").string());
        return post.Wait(30s);
    }

    // Asks about the wired keyboard at 0x202 and waits for the question.
    Window AskAboutAnOldKeyboard() {
        Window box = 0;
        if (WaitFor([&] { return !WindowsTitled(kMainTitle).empty(); }) && Post(0x4010, 0x202) == 0) {
            WaitFor([&] {
                const std::vector<Window> boxes = WindowsTitled("msgwnd");
                box = boxes.empty() ? 0 : boxes.front();
                return box != 0;
            });
        }
        return box;
    }

    // The message box's buttons (380 x 200 at 96 DPI): confirm at the right, cancel left of it.
    void ClickAnswer(Window box, bool confirm) {
        int x = 0, y = 0, width = 0, height = 0;
        ASSERT_TRUE(driver_->Geometry(box, x, y, width, height));
        ASSERT_EQ(width, 380);
        // Let the box paint and take the pointer before the click.
        WaitFor([] { return false; }, 300ms);
        driver_->Click(x + (confirm ? 305 : 183), y + 167);
    }

    static bool SanitizerClean(const std::string& log) {
        return log.find("AddressSanitizer") == std::string::npos && log.find("LeakSanitizer") == std::string::npos &&
               log.find("runtime error:") == std::string::npos;
    }

    std::unique_ptr<XDriver> driver_;
    // The program's windows come and go while the test walks them.
    IgnoredXErrors ignoredErrors_;
    std::unique_ptr<TestTrayManager> tray_;
    fs::path folder_;
    std::unique_ptr<ChildProcess> tavrik_;
};

TEST_F(FirmwareProgramTest, YesStartsTheKeyboardUpdaterInItsFolder) {
    const fs::path record = InstallRecordingUpdater();
    StartTavrik();
    const Window box = AskAboutAnOldKeyboard();
    ASSERT_NE(box, 0u) << LogText();
    ClickAnswer(box, true);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(record); })) << LogText();
    const std::string text = ReadTextFile(record.string());
    EXPECT_EQ(text, "arg:On\narg:the\narg:upgrade\npwd:" + fs::canonical(folder_ / "Update").string() + "\n");
    // The program goes on running; a second check while none is open asks again.
    EXPECT_EQ(tavrik_->Wait(200ms), -1);
    EXPECT_NE(AskAboutAnOldKeyboard(), 0u);
}

TEST_F(FirmwareProgramTest, NoEndsTheProgramWithZeroAndTakesTheTrayIconAlong) {
    tray_ = std::make_unique<TestTrayManager>();
    ASSERT_TRUE(tray_->ok());
    StartTavrik();
    ASSERT_TRUE(WaitFor([&] { return tray_->Docked().size() == 1; })) << LogText();
    const Window icon = tray_->Docked().front();
    const Window box = AskAboutAnOldKeyboard();
    ASSERT_NE(box, 0u) << LogText();
    ClickAnswer(box, false);
    EXPECT_EQ(tavrik_->Wait(30s), 0) << LogText();
    // The icon's window is gone from the tray.
    EXPECT_TRUE(WaitFor([&] {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        bool inTray = false;
        if (XQueryTree(tray_->display(), tray_->window(), &root, &parent, &children, &count) != 0) {
            for (unsigned i = 0; i < count; ++i) inTray = inTray || children[i] == icon;
        }
        if (children != nullptr) XFree(children);
        return !inTray;
    }));
    EXPECT_TRUE(SanitizerClean(LogText())) << LogText();
}

TEST_F(FirmwareProgramTest, AMissingUpdaterIsReported) {
    StartTavrik();
    const Window box = AskAboutAnOldKeyboard();
    ASSERT_NE(box, 0u) << LogText();
    ClickAnswer(box, true);
    // A second box: the failure, and the path in the log.
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<Window> boxes = WindowsTitled("msgwnd");
        return !boxes.empty() && boxes.front() != box;
    })) << LogText();
    EXPECT_TRUE(WaitFor([&] {
        return LogText().find("tavrik-keyboard-updater could not be started") != std::string::npos;
    })) << LogText();
    EXPECT_EQ(tavrik_->Wait(100ms), -1);
}

TEST_F(FirmwareProgramTest, NewEnoughFirmwareAndOtherDevicesAskNothing) {
    StartTavrik();
    ASSERT_TRUE(WaitFor([&] { return !WindowsTitled(kMainTitle).empty(); })) << LogText();
    // Sent: each returns once handled, and a question would hold it open.
    EXPECT_EQ(Post(0x4010, 0x203, true), 0);
    EXPECT_EQ(Post(0x5010, 0x001, true), 0);
    EXPECT_EQ(Post(0x4011, 0x104, true), 0);
    EXPECT_TRUE(WindowsTitled("msgwnd").empty());
}

}  // namespace
}  // namespace tavrik::test
